// The command prompt: what each key does to the line being typed, its
// history and completion, and when the help view opens and closes. The
// state machine itself draws nothing, so tests can feed it keys; the
// display module draws what Prompt_TakeTypedKeys asks for.
#pragma once

#include <string>
#include <vector>

#include "terminal/Completion.h"
#include "terminal/History.h"
#include "terminal/LineEditor.h"
#include "terminal/display.h"

// What a key asked for.
enum PromptOutcome {
    PROMPT_UNCHANGED,        // nothing to draw
    PROMPT_CHANGED,          // the line or the cursor changed
    PROMPT_REFUSED,          // the key cannot be taken: beep
    PROMPT_ENTERED,          // a command line is done; it is in editor.bytes
    PROMPT_LIST_CANDIDATES,  // list `candidates` in the overlay
    PROMPT_REDRAW_SCREEN,    // draw the whole screen again
    PROMPT_OPEN_HELP,        // open the help view (the line may have changed)
    PROMPT_CLOSE_HELP,       // close it
    PROMPT_LEAVE,            // end the program
};

struct Prompt {
    LineEditor editor;                            // the line being typed
    CommandHistory history;                       // the lines entered in this run
    size_t historyAge;                            // 0: the line being typed; n: the n-th newest shown
    std::string draft;                            // the line being typed, kept while the history is walked
    std::vector<CompletionCandidate> candidates;  // of the last Tab that found several
    bool isListPending;                           // the last key was that Tab: another one lists them
    bool isHelpOpen;                              // keys go to the help view
};

// What Prompt_TakeTypedKeys ended with.
enum PromptRead {
    PROMPT_READ_PENDING,  // no more keys typed yet
    PROMPT_READ_ENTERED,  // a command line is done
    PROMPT_READ_LEAVE,    // the operator asked to end the program
};

// Empties the history and the line.
void Prompt_Init(Prompt *prompt);
// Empties the line for the next command; the history stays.
void Prompt_StartLine(Prompt *prompt);
// One key.
PromptOutcome Prompt_HandleKey(Prompt *prompt, CommandKey key);
// Feeds every key already typed to the prompt and draws what they asked for.
// The caller holds the engine lock.
PromptRead Prompt_TakeTypedKeys(Prompt *prompt);
// Milliseconds until Prompt_TakeTypedKeys must be called again even when no
// key comes; -1 for no limit.
int Prompt_InputWaitMs(const Prompt *prompt);
