// The one engine lock. It is held for each engine step, for the handling of
// each command line and around every curses call, so that a step and a
// command never interleave and no two flows draw at once. Not recursive:
// functions below the top level assume the caller holds it.
#pragma once

#include <mutex>

extern std::mutex g_EngineLock;

typedef std::lock_guard<std::mutex> EngineLockGuard;
