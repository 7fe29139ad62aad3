// What the terminal description offers, asked before curses starts. Kept
// apart from the drawing code: the terminfo header defines macros named
// like ordinary words (lines, columns).
#pragma once

// True when the terminal type (NULL: $TERM) can address the cursor and
// clear the screen, which drawing the windows needs. Nothing is written.
bool CanDrawOnTerminal(const char *terminalType, int outputFd);
