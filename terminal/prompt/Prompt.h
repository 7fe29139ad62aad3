// The command prompt: what each key does to the line being typed, its
// history and completion, and when the help view opens and closes. The
// state machine draws nothing and reads nothing, so tests can feed it
// keys; the loop's key input (terminal/loop/KeyInput.h) feeds it the keys
// typed and has drawn what they asked for.
#pragma once

#include <string>
#include <vector>

#include "terminal/prompt/Completion.h"
#include "terminal/prompt/History.h"
#include "terminal/prompt/KeyDecoder.h"
#include "terminal/prompt/LineEditor.h"

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

struct Prompt {
    const PromptFiles *files;                      // where completion finds file names; NULL: nowhere
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
    size_t searchAge;                             // the history line found last; 0 for none yet
    bool isSearchFailing;                         // no line holds the query: searchAge is an earlier query's
};

// Empties the history and the line; file names come from `files`.
void Prompt_Init(Prompt *prompt, const PromptFiles *files);
// Empties the line for the next command; the history stays.
void Prompt_StartLine(Prompt *prompt);
// One key.
PromptOutcome Prompt_HandleKey(Prompt *prompt, CommandKey key);
// The history line the search shows; NULL when it found none yet.
const char *Prompt_SearchMatch(const Prompt *prompt);
// What the history suggests after the line typed, shown after the cursor:
// the rest of the newest history line that begins with the line. NULL when
// there is none, the line is empty, the cursor is not at its end, a search
// is under way or the completion list is open. Right, End and Ctrl-E take
// it whole, Alt-F its next word.
const char *Prompt_Suggestion(const Prompt *prompt);
