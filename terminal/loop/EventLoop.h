// The one place the terminal programs wait. Each pass polls the keys, the
// signal pipe (engine ticks, the worker's redraws, resizes, stops, ends)
// and the terminal's room for output; then it carries out what the signals
// asked for, runs a due engine step and moves the output on. Nothing in a
// pass waits on the terminal, so the engine keeps its cadence whatever the
// terminal does.
#pragma once

// How the command loop ended.
struct LoopEnd {
    const char *failure;  // NULL: the operator asked to leave; otherwise why the loop cannot go on
};

// Reads command lines and carries them out, until the operator asks to
// leave or the terminal is gone; a long admission's measuring runs a slice
// a pass, with its progress row and Esc. The caller leaves.
LoopEnd RunCommandLoop();
