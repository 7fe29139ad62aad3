// The lines that the prompt takes for itself instead of handing them to the
// command language: the help view's words and the leaving words. The
// command language ignores each of them without a message, so none of them
// ever was a command.
#pragma once

#include <span>

struct PromptWord {
    const char *word;
    bool allowsBlanks;  // blanks around the word are allowed
    bool isLeave;       // the line leaves the program; otherwise it opens the help
};

// The words, in the order they are tried.
std::span<const PromptWord> PromptWords();
