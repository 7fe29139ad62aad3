// The one place the terminal programs wait. Each pass polls the keys, the
// signal pipe (engine ticks, resizes, stops, ends), the output curses wrote
// and the terminal's room for it; then it carries out what the signals
// asked for, runs a due engine step and moves the output on. Nothing in a
// pass waits on the terminal, so the engine keeps its cadence whatever the
// terminal does.
#pragma once

// Reads command lines and carries them out, for ever; a long admission's
// measuring runs a slice a pass, with its progress row and Esc.
[[noreturn]] void RunCommandLoop();
// Sends what curses wrote last before it stops, waiting on the terminal
// for half a second at most; what the terminal did not take is dropped.
void SendLastOutput();
