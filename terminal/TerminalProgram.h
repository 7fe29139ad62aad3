// The shared entry of every terminal program: start-up in the order the
// system fixes (the screen, the users, the printer, the ticker), the
// command loop, and leaving.
#pragma once

#include "common/BuildSettings.h"

// Starts the program with these settings. Returns the exit status when
// start-up fails; otherwise runs until the operator leaves (status 0), the
// terminal is gone (status 1) or a signal ends it.
int RunTerminalProgram(const BuildSettings &settings);
