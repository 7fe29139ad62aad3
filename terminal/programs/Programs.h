// The settings record of each terminal program: the one home of what makes
// each program differ. The entry files, the tests and the fuzz targets all
// use these records.
#pragma once

#include "common/BuildSettings.h"

extern const BuildSettings QUILLBAY_SETTINGS;         // the alarm ticker, the current grammar
extern const BuildSettings QUILLBAY_THREAD_SETTINGS;  // worker thread, earliest grammar, echo
extern const BuildSettings QUILLBAY_GREET_SETTINGS;   // alarm, earlier grammar, echo, greeting
extern const BuildSettings QUILLBAY_ECHO_SETTINGS;    // as greet without the greeting; PRINT 0755
