// Tab completion at the prompt: what may follow the text before the cursor
// in the running program's command language. Keywords come from the
// parsers' own tables, names from the user registry, file names from the
// files the caller passes in (the loop's are the file system's, relative
// to the working directory): the prompt reads nothing itself.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "terminal/prompt/PromptFiles.h"

// Bounds on a directory's listing, which runs while the engine waits.
constexpr size_t MAX_COMPLETION_CANDIDATES = 1000;  // names offered at most
constexpr size_t MAX_DIRECTORY_ENTRIES = 20000;     // entries looked at at most

struct CompletionCandidate {
    std::string text;   // replaces the word being completed
    std::string label;  // as the list of choices shows it (a file's own name)
    bool isWord;        // a keyword or name that more words follow: a blank goes after it
};

struct Completion {
    size_t wordStart;                             // byte offset where the word being completed begins
    std::vector<CompletionCandidate> candidates;  // sorted, the first MAX_COMPLETION_CANDIDATES; empty when nothing fits
    size_t matchCount;                            // all that fit, those past the candidates kept too
    std::string common;                           // the longest beginning all of them share, whole characters
    bool isCut;                                   // the directory held more than MAX_DIRECTORY_ENTRIES: some may be missing
};

// The completions of the first `cursor` bytes of line, with file names
// from `files` (NULL: no file names). Names that cannot be typed at the
// prompt (control characters, tabs) are never offered.
Completion FindCompletions(const char *line, size_t cursor, const PromptFiles *files);
