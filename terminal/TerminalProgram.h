// The shared entry of every terminal program.
#pragma once

#include "common/BuildSettings.h"

// Starts the program with these settings. Returns the exit status when
// start-up fails; otherwise runs until the process is ended from outside.
int RunTerminalProgram(const BuildSettings &settings);
