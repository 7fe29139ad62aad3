// The one place the terminal programs wait. Each pass polls the keys, the
// signal pipe (engine ticks, the worker's redraws, resizes, stops, ends)
// and the terminal's room for output; then it carries out what the signals
// asked for, runs a due engine step and moves the output on. Nothing in a
// pass waits on the terminal, so the engine keeps its cadence whatever the
// terminal does.
#pragma once

// Reads command lines and carries them out, for ever; a long admission's
// measuring runs a slice a pass, with its progress row and Esc.
[[noreturn]] void RunCommandLoop();
