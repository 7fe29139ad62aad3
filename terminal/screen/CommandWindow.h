// The command window, rows 20 to 24: the error row (DisplayError, the one
// error channel that common/Report.h declares), the ">>" prompt and the
// line being typed, the earlier programs' echo, and the progress of a long
// measuring on the prompt's row.
#pragma once

#include <curses.h>
#include <string>

#include "common/Report.h"

struct LineEditor;

// Rows and columns of the command window.
constexpr int ERROR_ROW = 1;
constexpr int PROMPT_ROW = 2;
constexpr int PROMPT_COLUMN = 2;
constexpr int ECHO_COLUMN = 4;
constexpr int ECHO_LAST_COLUMN = 78;  // column 79 is the frame
constexpr int COMMAND_ECHO_ROW = 3;  // the earlier programs' echo of the last command
constexpr int HINT_ROW = 3;          // quillbay's hint, while a line is typed

extern WINDOW *g_pCommandWindow;  // 5 x 80 at row 20; created by InitDisplay

// The frame and the ">>" prompt, then the line being typed from row 2,
// column 4, a '<' before it while its start is scrolled out of the row,
// and after it, dimmed, the history's suggestion (NULL: none). While the
// prompt is up, every redraw puts the cursor back where it stands in the
// typed text.
void DrawPrompt();
void DrawCommandLine(const LineEditor *editor, const char *suggestion = nullptr);
// The reverse search of the history on the prompt's row: its query and the
// line found (NULL: none yet), the cursor after the query; a failing
// search says so.
void DrawSearchLine(const char *query, const char *match, bool isFailing = false);
// The hint on row 3, cut at the frame; the cursor stays where it is.
// Nothing is refreshed: the typed line's redraw shows it.
void DrawHint(const std::string &text);
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
