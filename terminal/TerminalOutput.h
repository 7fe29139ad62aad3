// Terminal output that never blocks the program. curses writes into a pipe
// of the program's own; the event loop moves what it wrote into a bounded
// buffer and from there to the terminal, without waiting, whenever the
// terminal takes output. A terminal that stops taking output (Ctrl-S
// upstream, a stalled link) stops nothing but the screen.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

constexpr size_t TERMINAL_OUTPUT_LIMIT = size_t{1} << 20;  // bytes kept for a terminal that takes none
constexpr int TERMINAL_OUTPUT_LAST_MS = 500;               // how long the last output is tried at the end

// Bytes on their way to the terminal.
struct OutputBuffer {
    std::string bytes;   // held, from `sent` on
    size_t sent;         // bytes of `bytes` the terminal took already
    size_t limit;        // more pending than this and all of it is dropped
    bool isRepaintOwed;  // output was dropped: the screen must be drawn whole again
};

// Holds bytes for the terminal. Past the limit everything pending is
// dropped and a repaint is owed; until it begins, more bytes are dropped too.
void OutputBuffer_Add(OutputBuffer *buffer, const char *bytes, size_t count);
// Writes what the descriptor takes without waiting (it must not block).
// False when the terminal is gone (a write error other than a full queue).
bool OutputBuffer_WriteTo(OutputBuffer *buffer, int fd);
// True when bytes wait for the terminal.
bool OutputBuffer_IsPending(const OutputBuffer *buffer);
// The owed repaint begins: its output follows a CAN, which ends any escape
// sequence that the drop cut short.
void OutputBuffer_BeginRepaint(OutputBuffer *buffer);

// Opens the pipe for curses and a descriptor of the terminal that writes
// without blocking. The stream for newterm, or NULL (errno set).
FILE *TerminalOutput_Open();
// The descriptors the event loop polls: the pipe's read end (POLLIN) and
// the terminal (POLLOUT while TerminalOutput_IsWaiting). -1 when not open.
int TerminalOutput_PipeFd();
int TerminalOutput_TerminalFd();
bool TerminalOutput_IsWaiting();
// Moves what curses wrote into the buffer, then as much as the terminal
// takes out of it. True when a repaint is owed and the terminal takes
// output again: the caller draws the screen whole, then moves output again.
bool TerminalOutput_Move();
// Adds text of the program's own after what curses wrote so far.
void TerminalOutput_Add(const char *text);
// True when bytes wait for the terminal.
bool TerminalOutput_IsPending();
// The last output begins (curses is about to stop): an owed repaint is
// forgotten, so that what curses writes now is kept.
void TerminalOutput_StartLast();
// The last output is over: drops what the terminal did not take, and gives
// standard output its own flags back if the program changed them.
void TerminalOutput_EndLast();
// curses runs again after a stop.
void TerminalOutput_Resume();
