// The usage texts of the two line-mode programs, printed by -h and --help.
#pragma once

#include "common/Arguments.h"

extern const ProgramUsage QUILLBAY_LINE_USAGE;
extern const ProgramUsage QUILLBAY_LINE_EARLY_USAGE;
