#include "terminal/screen/StatusWindow.h"

#include <climits>
#include <cstring>
#include <ctime>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/screen/Screen.h"

WINDOW *g_pPrinterWindow;
int g_userListDisplayCnt;

// Status window rows and columns.
constexpr int TIME_ROW = 5;
constexpr int SUPPLIES_ROW = 7;
constexpr int SUPPLIES_COLUMN = 30;
constexpr int WAIT_LIST_ROW = 10;
constexpr int USER_LIST_ROW = 15;
constexpr int TIME_TEXT_SIZE = 128;

static char s_hourMarker[MB_LEN_MAX + 1];  // U+C2DC in the locale's encoding, or a stand-in

// The hour's character is written in the terminal's own encoding; where the
// locale cannot show it two columns wide, a two-column ASCII stand-in keeps
// every later column in place.
void ChooseHourMarker()
{
    const wchar_t hour = L'\uC2DC';
    char encoded[MB_LEN_MAX];
    mbstate_t state = {};
    size_t count = wcrtomb(encoded, hour, &state);
    if (count != static_cast<size_t>(-1) && wcwidth(hour) == 2) {
        memcpy(s_hourMarker, encoded, count);
        s_hourMarker[count] = '\0';
    } else {
        strcpy(s_hourMarker, "h ");
    }
}

void ForgetStatusWindow()
{
    g_pPrinterWindow = nullptr;
    g_userListDisplayCnt = 0;
}

static const char *const STATUS_TEXTS[] = {
    "Waiting...",      // PRINTER_WAITING
    "Printing...",     // PRINTER_PRINTING
    "Need Supplies!",  // PRINTER_NEED_SUPPLIES
    "Refilling...",    // PRINTER_REFILLING
    "Request Cancel",  // PRINTER_REQUEST_CANCEL
};

const char *GetStatusDisplayString(int state)
{
    if (state < 0 || state >= static_cast<int>(sizeof STATUS_TEXTS / sizeof STATUS_TEXTS[0]))
        return "";
    return STATUS_TEXTS[state];
}

static void FormatTimeText(char *text)
{
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    memset(text, 0, TIME_TEXT_SIZE);
    snprintf(text, TIME_TEXT_SIZE, "year:%d month:%02d day:%02d hour:%02d%s min:%02d sec:%02d", local.tm_year + 1900,
             local.tm_mon + 1, local.tm_mday, local.tm_hour, s_hourMarker, local.tm_min, local.tm_sec);
}

static void printerStatus_display()
{
    char timeText[TIME_TEXT_SIZE];
    FormatTimeText(timeText);
    mvwprintw(g_pPrinterWindow, TIME_ROW, TEXT_COLUMN, "system time : %s\n", timeText);
    mvwprintw(g_pPrinterWindow, STATUS_ROW, TEXT_COLUMN, "Printer Status : %s | INK : %d | PAPER : %d\n",
              GetStatusDisplayString(g_PrinterContext.state), static_cast<int>(g_PrinterContext.ink),
              static_cast<int>(g_PrinterContext.paper));
    if (g_PrinterContext.state == PRINTER_PRINTING) {
        const PrintJob *job = g_PrinterContext.pCurrentJob;
        mvwprintw(g_pPrinterWindow, CURRENT_JOB_ROW, TEXT_COLUMN, "Current Printing Job {UID = %d, %d/%d} \n",
                  job->userID, job->printedPages, job->needPaper);
    }
    mvwprintw(g_pPrinterWindow, SUPPLIES_ROW, SUPPLIES_COLUMN, "Admin Supplies { ink = %d paper = %d }\n",
              g_SuppliesData.ink, g_SuppliesData.paper);
}

static void waitJobList_display()
{
    mvwprintw(g_pPrinterWindow, WAIT_LIST_ROW, TEXT_COLUMN, "JOB WAIT LIST : \n");
    for (ListNode *node = GetFirstNode(&g_JobWaitList); node != nullptr && !IsTailer(&g_JobWaitList, node);
         node = GetNextNode(node)) {
        const PrintJob *job = static_cast<const PrintJob *>(node->pData);
        wprintw(g_pPrinterWindow, "UID:%d, needPaper = %d \t", job->userID, job->needPaper);
    }
}

static void userList_display()
{
    int row = USER_LIST_ROW;
    for (ListNode *node = GetFirstNode(&g_UserInfoList); node != nullptr && !IsTailer(&g_UserInfoList, node);
         node = GetNextNode(node)) {
        const UserInfo *user = static_cast<const UserInfo *>(node->pData);
        mvwprintw(g_pPrinterWindow, row++, TEXT_COLUMN, "user Name : %s \n", user->userName);
    }
}

void display(int mode)
{
    if (g_pPrinterWindow == nullptr)
        g_pPrinterWindow = newwin(PRINTER_WINDOW_LINES, SCREEN_MIN_COLUMNS, 0, 0);
    werase(g_pPrinterWindow);
    if (mode == DISPLAY_ORDINARY_ALIAS || mode == DISPLAY_ORDINARY) {
        waitJobList_display();
        printerStatus_display();
        if (g_userListDisplayCnt != 0) {
            userList_display();
            g_userListDisplayCnt--;
        }
    } else if (mode == DISPLAY_USER_LIST) {
        g_userListDisplayCnt = 2;
        waitJobList_display();
        printerStatus_display();
        userList_display();
    }
    wborder(g_pPrinterWindow, 0, 0, 0, 0, 0, 0, 0, 0);
    RefreshWindow(g_pPrinterWindow);
}
