// What the terminal description offers. Kept apart from the drawing code:
// the terminfo header defines macros named like ordinary words (lines,
// columns).
#pragma once

#include <string>

// True when the terminal type (NULL: $TERM) can address the cursor and
// clear the screen, which drawing the windows needs. Nothing is written.
bool CanDrawOnTerminal(const char *terminalType, int outputFd);
// The bytes that give the terminal back as the shell had it, from the
// description curses runs on: whatever sequence was cut short ended, the
// normal character set, attributes off, the cursor visible, bracketed
// paste off, the cursor on `lastLine`, the normal screen, the keypad's
// normal keys.
std::string TerminalRestoreSequence(int lastLine);
