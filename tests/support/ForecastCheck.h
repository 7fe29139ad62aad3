// Holds the prompt's hint to the command it explains: the differential
// test of the unit tests and of the command-language fuzz target.
#pragma once

#include <string>

#include "terminal/prompt/PromptFiles.h"

// Foresees a command line as the hint does, then enters it as the loop
// does (CommandSelector), on a headless screen, and compares: the forecast
// "refused with M" must show exactly M on the error row, "runs" must change
// the records and show nothing, "nothing happens" must do neither. Empty
// when the two agree; otherwise what differed.
std::string CheckForecastHolds(const char *line, const PromptFiles *files);
