// Terminal output that never blocks the program. curses writes into a
// memory file of the program's own, which never fills; the event loop takes
// what it wrote into a queue and from there to the terminal, without
// waiting, whenever the terminal takes output. A terminal that stops taking
// output (Ctrl-S upstream, a stalled or slow link) stops nothing but the
// screen. The queue follows the terminal's pace: it holds at most what the
// terminal took in the last two seconds (one whole screen at least, 1 MiB
// at most); past that it is dropped, and the screen is repainted whole once
// the terminal takes output again, so the screen is never long behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr size_t TERMINAL_OUTPUT_CEILING = size_t{1} << 20;  // bytes queued at most, however fast the terminal
constexpr int64_t OUTPUT_PACE_MS = 2000;                     // the queue holds what the terminal took in this long
constexpr int OUTPUT_PACE_SLOTS = 8;                         // the pace is counted in slots of a quarter second
constexpr int TERMINAL_RESTORE_MS = 500;                     // how long the restoring bytes are tried at the end

// Bytes the terminal took lately, by slot of OUTPUT_PACE_MS / OUTPUT_PACE_SLOTS.
struct OutputPace {
    int64_t slotStarts[OUTPUT_PACE_SLOTS];  // ms; a slot from another time counts nothing
    size_t slotBytes[OUTPUT_PACE_SLOTS];
};

// Bytes on their way to the terminal.
struct OutputBuffer {
    std::string bytes;   // held, from `sent` on
    size_t sent;         // bytes of `bytes` the terminal took already
    size_t floor;        // the queue may always hold this much: one whole screen
    size_t ceiling;      // and never more than this
    OutputPace pace;     // what the terminal took lately
    bool isRepaintOwed;  // output was dropped: the screen must be drawn whole again
};

// An empty buffer whose bound runs from `floor` to `ceiling` bytes.
void OutputBuffer_Init(OutputBuffer *buffer, size_t floor, size_t ceiling);
// The most bytes that may wait at `nowMs`: what the terminal took in the
// last OUTPUT_PACE_MS, within the floor and the ceiling.
size_t OutputBuffer_Limit(const OutputBuffer *buffer, int64_t nowMs);
// Holds bytes for the terminal. When bytes already wait and these would
// take them past the limit, everything is dropped and a repaint is owed;
// until it begins, more bytes are dropped too. Bytes that find the queue
// empty are always kept, so that a repaint goes out whole.
void OutputBuffer_Add(OutputBuffer *buffer, const char *bytes, size_t count, int64_t nowMs);
// Writes what the descriptor takes without waiting (it must not block).
// False when the terminal is gone (a write error other than a full queue).
bool OutputBuffer_WriteTo(OutputBuffer *buffer, int fd, int64_t nowMs);
// True when bytes wait for the terminal.
bool OutputBuffer_IsPending(const OutputBuffer *buffer);
// The owed repaint begins: its output follows a CAN, which ends any escape
// sequence that the drop cut short.
void OutputBuffer_BeginRepaint(OutputBuffer *buffer);

// Opens the memory file for curses and a descriptor of the terminal that
// writes without blocking. The stream for newterm, or NULL (errno set).
FILE *TerminalOutput_Open();
// The terminal, to poll for POLLOUT while TerminalOutput_IsWaiting; -1
// when not open.
int TerminalOutput_TerminalFd();
bool TerminalOutput_IsWaiting();
// The floor of the queue's bound: one whole screen of this size.
void TerminalOutput_SetScreenSize(int screenLines, int screenColumns);
// Moves what curses wrote into the queue, then as much as the terminal
// takes out of it. True when a repaint is owed and the terminal takes
// output again: the caller draws the screen whole, then moves output
// again. The caller holds the engine lock, as curses' writers do.
bool TerminalOutput_Move();
// Adds text of the program's own after what curses wrote so far. The
// caller holds the engine lock.
void TerminalOutput_Add(const char *text);
// At an end or a stop: drops what curses wrote and every byte queued, here
// and in the terminal driver. The caller holds the engine lock.
void TerminalOutput_Drop();
// Then sends `restore` alone, the bytes that give the terminal back as the
// shell had it, waiting on the terminal for TERMINAL_RESTORE_MS at most;
// standard output gets its own flags back.
void TerminalOutput_SendRestore(const std::string &restore);
// curses runs again after a stop.
void TerminalOutput_Resume();
