// What the display's files share among themselves: the fixed layout and the
// refresh rules every window follows. Only terminal/*Window.cpp,
// terminal/Overlays.cpp and terminal/Screen.cpp include it.
#pragma once

#include <curses.h>
#include <string>

#include "terminal/display.h"

// Command window layout.
constexpr int COMMAND_WINDOW_LINES = 5;
constexpr int COMMAND_WINDOW_TOP = 20;
constexpr int PROMPT_ROW = 2;
constexpr int PROMPT_COLUMN = 2;
constexpr int ECHO_COLUMN = 4;
constexpr int ECHO_LAST_COLUMN = 78;  // column 79 is the frame
constexpr int COMMAND_ECHO_ROW = 3;

// Status window layout.
constexpr int PRINTER_WINDOW_LINES = 20;

// Screen.cpp: puts a changed window on the terminal, the overlays over the
// status window and, while the prompt is up, the command window last.
void RefreshWindow(WINDOW *window);
// Screen.cpp: shows again what a closed overlay covered.
void ShowUnderOverlays();
// Screen.cpp: text as wide characters to show from window column `column`
// to column `lastColumn`, cut there. A byte that does not decode, or a
// character that cannot be shown, shows as '?'; a tab as blanks up to the
// next tab stop.
std::wstring FitToCells(const std::string &text, int column, int lastColumn);

// CommandWindow.cpp: true while the prompt is up and the cursor belongs at
// the end of the typed text.
bool IsPromptShown();
// CommandWindow.cpp: forgets the command window when curses closes.
void ForgetCommandWindow();

// StatusWindow.cpp: chooses how the hour is written in this locale.
void ChooseHourMarker();
// StatusWindow.cpp: forgets the status window when curses closes.
void ForgetStatusWindow();

// Overlays.cpp: puts the overlays back over the status window, the help
// view on top.
void PutOverlays();
// Overlays.cpp: moves the overlays back to their places after a resize.
void KeepOverlaysInPlace();
// Overlays.cpp: forgets the overlays when curses closes.
void ForgetOverlays();
