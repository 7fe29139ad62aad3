// The command prompt: what each key does to the line being typed, its
// history and completion, and when the help view opens and closes. The
// state machine itself draws nothing, so tests can feed it keys; the
// display module draws what Prompt_TakeTypedKeys asks for.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "terminal/Completion.h"
#include "terminal/History.h"
#include "terminal/KeyDecoder.h"
#include "terminal/LineEditor.h"

constexpr size_t KEY_BITE_BYTES = 4096;  // bytes of typed input taken at one call
constexpr int64_t KEY_WORK_MS = 20;      // keys handled at one call for this long at most; the rest wait

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
    PROMPT_CONFIRM_LEAVE,    // jobs are unfinished: say so; leaving again leaves them
};

// A line that the prompt takes for itself; the command language ignores
// each of them without a message, so none of them ever was a command.
struct PromptWord {
    const char *word;
    bool allowsBlanks;  // blanks around the word are allowed
    bool isLeave;       // the line leaves the program; otherwise it opens the help
};

struct Prompt {
    LineEditor editor;                            // the line being typed
    CommandHistory history;                       // the lines entered in this run
    size_t historyAge;                            // 0: the line being typed; n: the n-th newest shown
    std::string draft;                            // the line being typed, kept while the history is walked
    std::vector<CompletionCandidate> candidates;  // of the last Tab that found several, the first of them
    size_t candidateCount;                        // all that the last Tab found
    bool isCandidateListCut;                      // more might have been found: the directory was too large
    bool isListPending;                           // the last key was that Tab: another one lists them
    bool isHelpOpen;                              // keys go to the help view
    std::string killed;                           // the text killed last, for a yank
    /* Leaving */
    bool isLeaveAsked;                            // the last line asked to leave while jobs were unfinished
    int unfinishedJobs;                           // as counted when it asked
    /* Reverse search through the history */
    bool isSearching;                             // keys go to the search
    std::string searchQuery;                      // what the search looks for
    size_t searchAge;                             // the history line found; 0 for none yet
};

// What Prompt_TakeTypedKeys ended with.
enum PromptRead {
    PROMPT_READ_PENDING,  // no more keys typed yet
    PROMPT_READ_ENTERED,  // a command line is done
    PROMPT_READ_LEAVE,    // the operator asked to end the program
};

// The words of the lines that the prompt takes for itself.
std::span<const PromptWord> PromptWords();

// Empties the history and the line.
void Prompt_Init(Prompt *prompt);
// Empties the line for the next command; the history stays.
void Prompt_StartLine(Prompt *prompt);
// One key.
PromptOutcome Prompt_HandleKey(Prompt *prompt, CommandKey key);
// The history line the search shows; NULL when it found none yet.
const char *Prompt_SearchMatch(const Prompt *prompt);

// Takes one bounded bite of what was typed (at most KEY_BITE_BYTES read
// from standard input without waiting), or the keys left from the bite
// before, feeds them to the prompt for KEY_WORK_MS at most and draws what
// they asked for, once. Stops at an entered line; the keys after it wait
// for the next call. The caller holds the engine lock.
PromptRead Prompt_TakeTypedKeys(Prompt *prompt);
// Where Prompt_TakeTypedKeys reads: standard input unless a test gives a
// pipe. Whatever was read from the one before is forgotten.
void Prompt_SetInput(int fd);
// Milliseconds until Prompt_TakeTypedKeys must be called again though
// nothing more is typed (keys left from a bite, an Esc that may be Alt);
// -1 when only typing needs it.
int Prompt_InputWaitMs(const Prompt *prompt);
