// The usage texts of the four terminal programs, printed by -h and --help.
#pragma once

#include "common/Arguments.h"
#include "common/BuildSettings.h"

// The usage text of the program with this settings record (one of
// terminal/programs/Programs.h): what it is, its command language and keys
// as the help view lists them, its files and exit statuses.
ProgramUsage TerminalProgramUsage(const BuildSettings &settings);
