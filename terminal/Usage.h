// The usage texts of the four terminal programs, printed by -h and --help.
#pragma once

#include "common/Arguments.h"

extern const ProgramUsage QUILLBAY_USAGE;
extern const ProgramUsage QUILLBAY_THREAD_USAGE;
extern const ProgramUsage QUILLBAY_GREET_USAGE;
extern const ProgramUsage QUILLBAY_ECHO_USAGE;
