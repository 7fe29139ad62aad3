// The signals that end, stop and continue a terminal program. Handlers only
// record them in the signal pipe; the main thread acts under the engine
// lock, so no step draws while the terminal is given back, and no curses
// handler ever runs beside the worker thread.
#pragma once

// Takes SIGWINCH, before curses starts: curses then installs no handler of
// its own, which would shrink the windows to a small terminal and lose
// their contents. A resize is recorded for the loop, which repaints.
void CatchResizes();
// Takes over SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP and SIGCONT from
// curses (call it once curses has started) and ignores SIGXFSZ, so that a
// file size limit is a write error like any other.
void CatchProgramSignals();

// Carries out a stop, a continue or an end that the events recorded. The
// caller must not hold the engine lock. An end never returns: the terminal
// is restored and the program ends by the signal that asked for it.
void FollowProgramSignals(unsigned events);
