// Tab completion at the prompt: what may follow the text before the cursor
// in the running program's command language. Keywords come from the
// parsers' own tables, names from the user registry, file names from the
// file system relative to the working directory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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
    std::vector<CompletionCandidate> candidates;  // sorted; empty when nothing fits
};

// The completions of the first `cursor` bytes of line.
Completion FindCompletions(const char *line, size_t cursor);
// The longest beginning that every candidate shares, cut at a character
// boundary of the locale's encoding.
std::string CommonCompletionPrefix(const std::vector<CompletionCandidate> &candidates);
