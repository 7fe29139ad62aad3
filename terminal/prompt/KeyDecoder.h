// The prompt's keys from the bytes a terminal sends. Escape sequences are
// taken by their shape (ESC [ parameters, intermediates, final byte; ESC O
// and a byte), whole, whatever the terminal description says: the ones the
// prompt knows act, the rest are dropped without reaching the line, and
// so are control strings (OSC, DCS, APC, PM, SOS) up to their end. Text
// is decoded in the locale's encoding, and a byte that does not decode
// costs only itself. A sequence or a character that a slow link splits is
// still taken whole when its rest comes within the escape delay. Every
// state is bounded: nothing a terminal sends can lock the editor. Nothing
// here reads the terminal or knows curses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <deque>
#include <string>

constexpr int ESCAPE_DELAY_MS = 100;                  // an Esc with nothing behind it for this long is Escape
constexpr size_t MAX_SEQUENCE_BYTES = 32;             // a longer escape sequence is dropped as it comes
constexpr size_t MAX_CONTROL_STRING_BYTES = 4096;     // a longer control string ends there
constexpr size_t MAX_PASTE_BYTES = size_t{1} << 20;   // a longer paste ends there
constexpr int64_t INPUT_SILENCE_MS = 1000;            // a paste or control string with no byte for this long has ended
constexpr size_t PASTE_BURST_CHARACTERS = 4;          // unmarked, more printable characters at once are a paste

// What a key does at the prompt.
enum KeyAction {
    KEY_ACTION_NONE,             // no key pending
    KEY_ACTION_INSERT,           // insert `character` at the cursor
    KEY_ACTION_ERASE,            // erase key, Backspace
    KEY_ACTION_DELETE,           // Delete: the character under the cursor
    KEY_ACTION_ERASE_WORD,       // ^W: back to a blank
    KEY_ACTION_KILL,             // kill key, ^U
    KEY_ACTION_KILL_TO_END,      // ^K
    KEY_ACTION_KILL_WORD_BEFORE, // Alt-Backspace: back to a word's start
    KEY_ACTION_KILL_WORD_AFTER,  // Alt-D: on to a word's end
    KEY_ACTION_YANK,             // ^Y: the text killed last
    KEY_ACTION_LEFT,             // Left, ^B
    KEY_ACTION_RIGHT,            // Right, ^F
    KEY_ACTION_WORD_LEFT,        // Alt-B, Ctrl-Left
    KEY_ACTION_WORD_RIGHT,       // Alt-F, Ctrl-Right
    KEY_ACTION_HOME,             // Home, ^A
    KEY_ACTION_END,              // End, ^E
    KEY_ACTION_OLDER,            // Up, ^P: the history's previous line
    KEY_ACTION_NEWER,            // Down, ^N
    KEY_ACTION_SEARCH,           // ^R: search the history backwards
    KEY_ACTION_CANCEL,           // ^G: leave the search, the line as it was
    KEY_ACTION_COMPLETE,         // Tab pressed; a pasted tab is inserted
    KEY_ACTION_REDRAW,           // ^L
    KEY_ACTION_HELP,             // F1
    KEY_ACTION_END_OF_INPUT,     // ^D
    KEY_ACTION_ESCAPE,           // Esc alone
    KEY_ACTION_ENTER,            // the line is done
    KEY_ACTION_REFUSED,          // a byte that does not decode: beep
    KEY_ACTION_IGNORE,           // other function keys and control characters, Alt and a key
};
struct CommandKey {
    KeyAction action;
    wchar_t character;
};

struct KeyDecoder {
    std::deque<CommandKey> keys;  // decoded, not yet taken
    std::string held;             // the start of a sequence or character that later bytes complete
    int64_t heldSinceMs;          // when `held` last grew
    int64_t lastFedMs;            // when bytes last came
    bool isSkipping;              // dropping an over-long escape sequence up to its final byte
    bool isInControlString;       // dropping a control string up to its terminator
    size_t controlStringBytes;    // of it so far
    bool isPasting;               // between the paste markers: text, tabs included, never keys
    size_t pasteBytes;            // of the paste so far
    bool marksPastes;             // the terminal marked a paste once: a Tab outside one always completes
    unsigned char eraseByte;      // the terminal's own erase and kill characters; 0 for none
    unsigned char killByte;
};

// Forgets every byte and key; the terminal's erase and kill characters
// act as Backspace and ^U do.
void KeyDecoder_Init(KeyDecoder *decoder, unsigned char eraseByte, unsigned char killByte);
// Decodes bytes that arrived together at `nowMs`, appending their keys. A
// sequence or character cut at the end waits for the next bytes. A paste
// ends at its end marker, after MAX_PASTE_BYTES, or once INPUT_SILENCE_MS
// passed without a byte; inside it an escape sequence is dropped whole.
// Without paste markers, a tab is pasted text only inside a burst of more
// than PASTE_BURST_CHARACTERS printable characters, and with a key behind
// it; otherwise it is a Tab.
void KeyDecoder_Feed(KeyDecoder *decoder, const char *bytes, size_t count, int64_t nowMs);
// Ends what waits once the escape delay has passed at `nowMs` (inside a
// paste or a control string, INPUT_SILENCE_MS): a lone Esc is Escape, a
// cut sequence is dropped, a cut character refused.
void KeyDecoder_Flush(KeyDecoder *decoder, int64_t nowMs);
// Milliseconds until the decoder must be looked at again without new
// bytes: 0 when keys wait to be taken, -1 when nothing waits.
int KeyDecoder_WaitMs(const KeyDecoder *decoder, int64_t nowMs);
