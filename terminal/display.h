// The terminal's two windows: the printer status window (rows 0 to 19) and
// the command window (rows 20 to 24). This module owns every curses call;
// the other modules report through DisplayError and redraw through display.
// Every function here assumes the caller holds the engine lock.
#pragma once

#include <cstdio>
#include <cwchar>

struct LineEditor;

// Status window modes.
constexpr int DISPLAY_ORDINARY = 2;   // the engine's redraw
constexpr int DISPLAY_USER_LIST = 3;  // redraw with the user names, kept for two more redraws

// Layout.
constexpr int SCREEN_MIN_LINES = 25;
constexpr int SCREEN_MIN_COLUMNS = 80;

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
// Restores the terminal.
void CloseDisplay();
// Gives the terminal back as the shell had it, for a stop.
void SuspendDisplay();
// Takes the terminal again after a stop and draws the whole screen anew.
void ResumeDisplay();

// Writes "ERROR:<message>" on row 1 of the command window, shifting what was
// there one column left first. Returns the curses status of the write.
int DisplayError(const char *message);
// Redraws the whole status window in the given mode and refreshes it.
void display(int mode);
// The status text of a printer state code; empty for an unknown code.
const char *GetStatusDisplayString(int state);

// Command window: frame and ">>" prompt, then the line being typed from
// row 2, column 4. While the prompt is up, every redraw puts the cursor
// back at the end of the typed text.
void DrawPrompt();
void DrawCommandLine(const LineEditor *editor);
// Ends the line read: erases the whole command window (shown with the next
// prompt).
void EndCommandInput();
// The earlier programs' echo of the last command, on row 3.
void EchoCommand(const char *line);
void Beep();

// What a key does to the line being typed.
enum KeyAction {
    KEY_ACTION_NONE,        // no key pending
    KEY_ACTION_INSERT,      // append `character`
    KEY_ACTION_ERASE,       // erase key, Backspace
    KEY_ACTION_ERASE_WORD,  // ^W
    KEY_ACTION_KILL,        // kill key, ^U
    KEY_ACTION_ENTER,       // the line is done
    KEY_ACTION_IGNORE,      // function keys, other control characters
};
struct CommandKey {
    KeyAction action;
    wchar_t character;
};
// The next key typed, without waiting.
CommandKey ReadCommandKey();

// Follows a change of the terminal's size. Below 25x80 drawing is held back
// and a notice shown; at 25x80 or more both windows are drawn whole again.
void HandleTerminalResize();
void ApplyTerminalSize(int lines, int columns);
