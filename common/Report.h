// The two report entry points of the engine and the administrator: the
// error row and the redraw of the status window. The terminal's screen
// defines them (DisplayError in terminal/screen/CommandWindow.cpp, display
// in terminal/screen/StatusWindow.cpp); the layers below only declare what
// they call.
#pragma once

// Status window modes.
constexpr int DISPLAY_ORDINARY_ALIAS = 1;  // draws as DISPLAY_ORDINARY; no caller uses it
constexpr int DISPLAY_ORDINARY = 2;        // the engine's redraw
constexpr int DISPLAY_USER_LIST = 3;       // redraw with the user names, kept for two more redraws

// Writes "ERROR:<message>" on row 1 of the command window, shifting what was
// there one column left first. Returns the curses status of the write.
int DisplayError(const char *message);
// Redraws the whole status window in the given mode and refreshes it.
void display(int mode);
