// The windows themselves, for tests that read the screen back.
#pragma once

#include <curses.h>

extern WINDOW *g_pCommandWindow;  // 5 x 80 at row 20; created by InitDisplay
extern WINDOW *g_pPrinterWindow;  // 20 x 80 at row 0; created by the first display()
extern int g_userListDisplayCnt;  // ordinary redraws that still show the user list
