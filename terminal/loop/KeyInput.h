// What was typed, taken from the terminal in bounded bites so that a long
// paste never holds the engine up, decoded into keys and fed to the
// prompt; then what the keys asked for is drawn, once a call. Curses reads
// no keys: this is the only reader. The loop owns the input's state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "terminal/prompt/KeyDecoder.h"

struct Prompt;

constexpr size_t KEY_BITE_BYTES = 4096;  // bytes of typed input taken at one call
constexpr int64_t KEY_WORK_MS = 20;      // keys handled at one call for this long at most; the rest wait

struct KeyInput {
    int fd;                 // where keys are read: standard input, or a test's pipe
    KeyDecoder decoder;     // bytes read and not yet taken as keys
    bool isInRefusedBurst;  // the last call refused keys and more of the same burst followed: no second beep
};

// What KeyInput_TakeTypedKeys ended with.
enum PromptRead {
    PROMPT_READ_PENDING,  // no more keys typed yet
    PROMPT_READ_ENTERED,  // a command line is done
    PROMPT_READ_LEAVE,    // the operator asked to end the program
};

// Reads keys from `fd`; the terminal's own erase and kill characters act
// as Backspace and ^U.
void KeyInput_Init(KeyInput *input, int fd);
// Takes one bounded bite of what was typed (at most KEY_BITE_BYTES read
// without waiting), or the keys left from the bite before, feeds them to
// the prompt for KEY_WORK_MS at most and draws what they asked for, once.
// Stops at an entered line; the keys after it wait for the next call. The
// caller holds the engine lock.
PromptRead KeyInput_TakeTypedKeys(KeyInput *input, Prompt *prompt);
// After an engine step, which may have moved supplies or ended jobs under
// the line being typed: its hint is drawn again, so that it tells what
// Enter would do now, not at the last key. The caller holds the engine
// lock.
void KeyInput_FollowRecords(const Prompt *prompt);
// Milliseconds until KeyInput_TakeTypedKeys must be called again though
// nothing more is typed: 0 for keys left from a bite, the escape delay's
// rest for an Esc that may begin a sequence; -1 when only typing needs it.
int KeyInput_WaitMs(const KeyInput *input);
// During a long measuring: true when Esc was typed. Every other key
// typed meanwhile stays for the next prompt, in its order. Reads without
// waiting.
bool KeyInput_TakeEscapeKey(KeyInput *input);
