// The screen: curses started and stopped on the terminal, the terminal's
// modes and size, the one repaint, and the rules by which every window
// reaches the terminal. The windows are StatusWindow, CommandWindow and
// Overlays; the bytes go out through TerminalOutput. Only terminal/screen/
// calls curses. Every function here assumes the caller holds the engine
// lock, but for GiveTerminalBack.
#pragma once

#include <cstdio>
#include <curses.h>
#include <string>

// The fixed layout: the status window over rows 0 to 19, the command window
// over rows 20 to 24.
constexpr int SCREEN_MIN_LINES = 25;
constexpr int SCREEN_MIN_COLUMNS = 80;
constexpr int PRINTER_WINDOW_LINES = 20;
constexpr int COMMAND_WINDOW_LINES = 5;
constexpr int COMMAND_WINDOW_TOP = 20;
constexpr int TEXT_COLUMN = 2;  // where the text of a row begins, in either window
constexpr int TAB_STOP = 8;     // a tab runs to the next multiple of 8 columns, as curses draws one

enum DisplayOpenResult {
    DISPLAY_OPENED,
    DISPLAY_NO_TERMINAL,  // curses could not start on this terminal
    DISPLAY_TOO_SMALL,    // fewer than 25 rows or 80 columns; curses closed again
};

// Why the whole screen is drawn again.
enum RepaintReason {
    REPAINT_ASKED,           // Ctrl-L
    REPAINT_RESIZED,         // the terminal changed size
    REPAINT_RESUMED,         // the program was stopped and the shell may have drawn
    REPAINT_OUTPUT_DROPPED,  // output the terminal could not keep up with was dropped
};

// Opens curses on the process's terminal, creates the command window and
// shows the (blank) screen. The caller has taken SIGWINCH already
// (CatchResizes), so that curses installs no handler of its own.
DisplayOpenResult InitDisplay();
// The same on a given terminal type and streams (a headless screen in
// tests), without showing anything.
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

// The one repaint: every window drawn whole again, for any reason. Any
// reason but REPAINT_ASKED first follows the terminal's size: below 25x80
// drawing is held back and a notice shown; at 25x80 or more both windows
// are drawn again.
void RepaintScreen(RepaintReason reason);
// Follows a terminal of this size, as RepaintScreen does.
void ApplyTerminalSize(int lines, int columns);
// True while the terminal is below 25x80: nothing is drawn, no key is read.
bool IsDisplayHeldBack();

// Puts a changed window on the terminal, the overlays over the status
// window and, while the prompt is up, the command window last.
void RefreshWindow(WINDOW *window);
// Shows again what a closed overlay covered.
void ShowUnderOverlays();
// Text as wide characters to show from window column `column` to column
// `lastColumn`, cut there. A byte that does not decode, or a character
// that cannot be shown, shows as '?'; a tab as blanks up to the next tab
// stop.
std::wstring FitToCells(const std::string &text, int column, int lastColumn);
