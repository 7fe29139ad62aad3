// The command lines entered in this run, for the prompt's Up and Down keys.
// Kept in memory only; nothing is written to disk.
#pragma once

#include <array>
#include <cstddef>
#include <string>

constexpr size_t MAX_HISTORY_LINES = 100;  // the oldest line goes when one more is entered

struct CommandHistory {
    std::array<std::string, MAX_HISTORY_LINES> lines;  // a ring; `newest` is the last one entered
    size_t newest;                                     // index of the newest line
    size_t count;                                      // lines held
};

// Empties the history.
void History_Clear(CommandHistory *history);
// Stores an entered line, unless it is empty or equal to the newest line.
void History_Add(CommandHistory *history, const char *line);
// The line entered `age` lines ago: 1 is the newest. NULL past the oldest.
const char *History_Line(const CommandHistory *history, size_t age);
