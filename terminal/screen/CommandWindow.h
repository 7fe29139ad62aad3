// The command window, rows 20 to 24: the error row (DisplayError, the one
// error channel that common/Report.h declares), the ">>" prompt and the
// line being typed, the earlier programs' echo, and the progress of a long
// measuring on the prompt's row.
#pragma once

#include <curses.h>

#include "common/Report.h"

struct LineEditor;

// Rows and columns of the command window.
constexpr int ERROR_ROW = 1;
constexpr int PROMPT_ROW = 2;
constexpr int PROMPT_COLUMN = 2;
constexpr int ECHO_COLUMN = 4;
constexpr int ECHO_LAST_COLUMN = 78;  // column 79 is the frame
constexpr int COMMAND_ECHO_ROW = 3;

extern WINDOW *g_pCommandWindow;  // 5 x 80 at row 20; created by InitDisplay

// The frame and the ">>" prompt, then the line being typed from row 2,
// column 4. While the prompt is up, every redraw puts the cursor back at
// the end of the typed text.
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
// The progress of a long measuring of a print file, on the prompt's row
// (the error row keeps its message).
void DrawMeasureProgress(int percent);
void EraseMeasureProgress();
// True while the prompt is up and the cursor belongs at the end of the
// typed text.
bool IsPromptShown();
// Forgets the window when curses closes.
void ForgetCommandWindow();
