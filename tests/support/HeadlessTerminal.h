// The real windows on a headless screen (no terminal: curses writes to
// /dev/null), for tests, fuzz targets and benchmarks that draw.
#pragma once

#include <cstdio>

// Opens curses at lines x columns in the C.UTF-8 locale, reading keys from
// keys (NULL: /dev/null) and creating the command window. False when curses
// refuses; a size below 80x25 is refused as the program refuses it.
bool OpenHeadlessScreen(FILE *keys = nullptr, int lines = 25, int columns = 80);
// Closes curses and the streams OpenHeadlessScreen opened or was given.
void CloseHeadlessScreen();
