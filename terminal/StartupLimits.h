// What a terminal program needs at most, made sure of at start before
// curses: a low descriptor limit is refused up front rather than met later
// as a file that seems unreadable, and the measuring buffers are allocated
// once, so that no allocation fails later.
#pragma once

// True when the program may go on; otherwise says why on standard error.
// Raises the soft descriptor limit where the hard limit allows.
bool CheckStartupLimits(const char *programName);
