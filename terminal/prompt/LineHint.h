// The hint row: what Enter will do with the line, or why it will do nothing
// or be refused, in words, before Enter. It comes from the decision that
// the command itself then carries out (administration/CommandRoute.h) and,
// for a print, from what admission will make of the file (the prompt's
// files, engine/AdmissionForecast.h): the hint cannot tell another story
// than the command. It reads the records, and files only through the
// prompt's files.
#pragma once

#include <string>

#include "common/CommandDecision.h"
#include "engine/AdmissionForecast.h"
#include "terminal/prompt/PromptFiles.h"

struct Prompt;

// What entering a command line will do.
struct LineForecast {
    CommandDecision decision;
    AdmissionForecast admission;  // what admission will make of a print's file
    CommandVerdict verdict;       // the decision's, or admission's refusal of a print
    std::string message;          // VERDICT_REFUSED: what the error row will show
};

// The forecast of a command line, a print's file seen through `files`
// (NULL: not looked at, and the print runs).
LineForecast ForeseeCommandLine(const char *line, const PromptFiles *files);
// The hint for the line that Enter would take now: the line typed, or the
// one a search found. Empty for an empty line. Not cut to any width.
std::string Prompt_Hint(const Prompt *prompt);
