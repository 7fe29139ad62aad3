// The terminal's two windows: the printer status window (rows 0 to 19) and
// the command window (rows 20 to 24). This module owns every curses call;
// the other modules report through DisplayError and redraw through display
// (common/Report.h). Its files, one concern each: Screen.cpp (curses start
// and stop, refresh, size), StatusWindow.cpp, CommandWindow.cpp,
// Overlays.cpp (help, completion choices);
// the keys are decoded by KeyDecoder.cpp and read by PromptInput.cpp.
// Every function here assumes the caller holds the engine lock.
#pragma once

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "common/Report.h"

struct LineEditor;

// Layout.
constexpr int SCREEN_MIN_LINES = 25;
constexpr int SCREEN_MIN_COLUMNS = 80;
constexpr int ERROR_ROW = 1;         // of the command window
constexpr int STATUS_ROW = 6;        // of the status window
constexpr int CURRENT_JOB_ROW = 8;   // of the status window
constexpr int TEXT_COLUMN = 2;       // where the text of a row begins, in either window

enum DisplayOpenResult {
    DISPLAY_OPENED,
    DISPLAY_NO_TERMINAL,  // curses could not start on this terminal
    DISPLAY_TOO_SMALL,    // fewer than 25 rows or 80 columns; curses closed again
};

// Opens curses on the process's terminal and creates the command window.
DisplayOpenResult InitDisplay();
// The same on a given terminal type and streams (a headless screen in tests).
DisplayOpenResult InitDisplayOn(const char *terminalType, FILE *output, FILE *input);
// The terminal size seen by the last InitDisplay, for the start-up error.
void GetOpenedTerminalSize(int *lines, int *columns);
// Stops curses and gives the terminal back as the shell had it, for good.
// Waits on the terminal for TERMINAL_RESTORE_MS at most.
void CloseDisplay();
// For a stop: stops curses, drops every byte on its way to the terminal
// and draws nothing until ResumeDisplay. GiveTerminalBack then sends only
// what restores the terminal, and the shell's modes; it waits on the
// terminal for TERMINAL_RESTORE_MS at most and needs no engine lock.
void SuspendDisplay();
void GiveTerminalBack();
// Takes the terminal again after a stop and draws the whole screen anew.
void ResumeDisplay();
// quillbay-greet's greeting, on the screen curses has just opened.
void ShowGreeting(const char *text);

// The status text of a printer state code; empty for an unknown code.
const char *GetStatusDisplayString(int state);

// Command window: frame and ">>" prompt, then the line being typed from
// row 2, column 4. While the prompt is up, every redraw puts the cursor
// back at the end of the typed text.
void DrawPrompt();
void DrawCommandLine(const LineEditor *editor);
// The reverse search of the history on the prompt's row: its query and the
// line found (NULL: none yet), the cursor after the query.
void DrawSearchLine(const char *query, const char *match);
// Ends the line read: erases the whole command window (shown with the next
// prompt).
void EndCommandInput();
// The earlier programs' echo of the last command, on row 3.
void EchoCommand(const char *line);
void Beep();

// Draws the whole screen again.
void RedrawScreen();
// The help view over the status window, the given lines inside a frame.
// While it is open the status window is kept up to date unseen; closing it
// shows the status window whole again.
void OpenHelpView(const std::vector<std::string> &lines);
void CloseHelpView();
// A short list of completion choices just above the command window, until
// HideCandidates (which does nothing when no list is shown). `total` counts
// the choices found, shown or not; `isCut` says more may exist uncounted.
void ShowCandidates(const std::vector<std::string> &labels, size_t total, bool isCut);
void HideCandidates();

// Follows a change of the terminal's size. Below 25x80 drawing is held back
// and a notice shown; at 25x80 or more both windows are drawn whole again.
void HandleTerminalResize();
void ApplyTerminalSize(int lines, int columns);
// True while the terminal is below 25x80: nothing is drawn, no key is read.
bool IsDisplayHeldBack();

// The progress of a long measuring of a print file, on the prompt's row of
// the command window (the error row keeps its message).
void DrawMeasureProgress(int percent);
void EraseMeasureProgress();
// True when Esc was typed. Every other key typed meanwhile stays for the
// next prompt, in its order. Defined with the prompt's input
// (PromptInput.cpp), which reads every key.
bool TakeEscapeKey();
