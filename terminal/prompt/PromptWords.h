// The lines that the prompt takes for itself instead of handing them to the
// command language: the help view's words and the leaving words, each
// alone on its line. The command language ignores each of them without a
// message, so none of them ever was a command; a line with anything around
// the word (a blank included) reaches the parsers, whose results for it
// the Parts fix.
#pragma once

#include <span>

struct PromptWord {
    const char *word;  // the whole line, letter case ignored
    bool isLeave;      // the line leaves the program; otherwise it opens the help
};

// The words, in the order they are tried.
std::span<const PromptWord> PromptWords();
// The word that a line is; NULL when it is a command line.
const PromptWord *FindPromptWord(const char *line);
