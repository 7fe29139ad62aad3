// The printer status window, rows 0 to 19: the time, the printer's state
// and supplies, the current job, the wait list and, for two redraws after
// it was asked for, the user list. Its redraw, display(mode), is the one
// that common/Report.h declares for the engine and the administrator.
#pragma once

#include <curses.h>

#include "common/Report.h"

constexpr int STATUS_ROW = 6;       // the printer's state and levels
constexpr int CURRENT_JOB_ROW = 8;  // the job being printed

extern WINDOW *g_pPrinterWindow;  // 20 x 80 at row 0; created by the first display()
extern int g_userListDisplayCnt;  // ordinary redraws that still show the user list

// The status text of a printer state code; empty for an unknown code.
const char *GetStatusDisplayString(int state);
// Chooses how the hour is written in this locale.
void ChooseHourMarker();
// Forgets the window when curses closes.
void ForgetStatusWindow();
