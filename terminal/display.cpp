#include "terminal/display.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/LineEditor.h"
#include "terminal/SignalPipe.h"
#include "terminal/displayWindows.h"

WINDOW *g_pCommandWindow;
WINDOW *g_pPrinterWindow;
int g_userListDisplayCnt;

// Command window layout.
constexpr int COMMAND_WINDOW_LINES = 5;
constexpr int COMMAND_WINDOW_TOP = 20;
constexpr int ERROR_ROW = 1;
constexpr int PROMPT_ROW = 2;
constexpr int PROMPT_COLUMN = 2;
constexpr int ECHO_COLUMN = 4;
constexpr int ECHO_LAST_COLUMN = 78;  // column 79 is the frame
constexpr int COMMAND_ECHO_ROW = 3;

// Status window layout.
constexpr int PRINTER_WINDOW_LINES = 20;
constexpr int TIME_ROW = 5;
constexpr int STATUS_ROW = 6;
constexpr int SUPPLIES_ROW = 7;
constexpr int SUPPLIES_COLUMN = 30;
constexpr int CURRENT_JOB_ROW = 8;
constexpr int WAIT_LIST_ROW = 10;
constexpr int USER_LIST_ROW = 15;
constexpr int TEXT_COLUMN = 2;
constexpr int TIME_TEXT_SIZE = 128;

static SCREEN *s_screen;
static WINDOW *s_keyWindow;     // never drawn, so reading keys never refreshes anything
static bool s_isInputActive;    // the prompt is up and the cursor belongs at its end
static bool s_isTooSmall;       // drawing held back until the terminal grows again
static int s_openedLines, s_openedColumns;
static char s_hourMarker[MB_LEN_MAX + 1];  // U+C2DC in the locale's encoding, or a stand-in
static wchar_t s_eraseKey, s_killKey;      // the terminal's own editing keys

// ---------------------------------------------------------------- start-up

static void NoteResize(int)
{
    SignalPipe_Post(SIGNAL_EVENT_RESIZE);
}

// Our own SIGWINCH handler keeps curses from shrinking the windows to a small
// terminal, which would lose their contents; curses leaves a caught signal alone.
static void CatchResizes()
{
    CatchSignal(SIGWINCH, NoteResize);
}

// The hour's character is written in the terminal's own encoding; where the
// locale cannot show it two columns wide, a two-column ASCII stand-in keeps
// every later column in place.
static void ChooseHourMarker()
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

static void ReadEditingKeys()
{
    wchar_t key;
    s_eraseKey = erasewchar(&key) == OK ? key : L'\x7f';
    s_killKey = killwchar(&key) == OK ? key : L'\x15';
}

DisplayOpenResult InitDisplayOn(const char *terminalType, FILE *output, FILE *input)
{
    s_screen = newterm(terminalType, output, input);
    if (s_screen == nullptr)
        return DISPLAY_NO_TERMINAL;
    s_openedLines = LINES;
    s_openedColumns = COLS;
    if (LINES < SCREEN_MIN_LINES || COLS < SCREEN_MIN_COLUMNS) {
        CloseDisplay();
        return DISPLAY_TOO_SMALL;
    }
    cbreak();
    noecho();
    set_escdelay(25);
    ChooseHourMarker();
    ReadEditingKeys();
    wnoutrefresh(stdscr);
    g_pCommandWindow = newwin(COMMAND_WINDOW_LINES, SCREEN_MIN_COLUMNS, COMMAND_WINDOW_TOP, 0);
    s_keyWindow = newwin(1, 1, 0, 0);
    keypad(s_keyWindow, TRUE);
    nodelay(s_keyWindow, TRUE);
    wnoutrefresh(s_keyWindow);
    return DISPLAY_OPENED;
}

// Ctrl-S must never stop the printer by blocking its output: flow control
// is off in the program's terminal modes. The shell's modes, saved when
// curses started, come back at every stop and at the end.
static void TurnOffFlowControl()
{
    struct termios modes;
    if (tcgetattr(STDOUT_FILENO, &modes) != 0)
        return;
    modes.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    tcsetattr(STDOUT_FILENO, TCSANOW, &modes);
    def_prog_mode();
}

DisplayOpenResult InitDisplay()
{
    CatchResizes();
    DisplayOpenResult result = InitDisplayOn(nullptr, stdout, stdin);
    if (result == DISPLAY_OPENED)
        TurnOffFlowControl();
    return result;
}

void GetOpenedTerminalSize(int *lines, int *columns)
{
    *lines = s_openedLines;
    *columns = s_openedColumns;
}

void CloseDisplay()
{
    if (s_screen == nullptr)
        return;
    endwin();
    delscreen(s_screen);
    s_screen = nullptr;
    g_pCommandWindow = g_pPrinterWindow = s_keyWindow = nullptr;
    s_isInputActive = s_isTooSmall = false;
    g_userListDisplayCnt = 0;
}

void SuspendDisplay()
{
    if (s_screen != nullptr)
        endwin();
}

void ResumeDisplay()
{
    if (s_screen == nullptr)
        return;
    reset_prog_mode();
    HandleTerminalResize();
}

// ---------------------------------------------------------------- refresh

// Puts a changed window on the terminal. While the prompt is up the command
// window goes last, so the cursor stays at the end of the typed text.
static void RefreshWindow(WINDOW *window)
{
    if (s_isTooSmall)
        return;
    wnoutrefresh(window);
    if (s_isInputActive && window != g_pCommandWindow)
        wnoutrefresh(g_pCommandWindow);
    doupdate();
}

// ---------------------------------------------------------------- error row

// An error shown while the prompt is up (an engine step's): the shift pulled
// the frame's right edge one column in, and the cursor belongs at the end of
// the typed text, not after the message.
static void RestorePromptAfterError(int cursorRow, int cursorColumn)
{
    int edge = getmaxx(g_pCommandWindow) - 1;
    if (mvwinch(g_pCommandWindow, ERROR_ROW, edge - 1) & A_ALTCHARSET)
        mvwaddch(g_pCommandWindow, ERROR_ROW, edge - 1, ' ');
    mvwaddch(g_pCommandWindow, ERROR_ROW, edge, ACS_VLINE);
    wmove(g_pCommandWindow, cursorRow, cursorColumn);
}

int DisplayError(const char *message)
{
    if (g_pCommandWindow == nullptr)
        return ERR;
    int cursorRow, cursorColumn;
    getyx(g_pCommandWindow, cursorRow, cursorColumn);
    if (wmove(g_pCommandWindow, ERROR_ROW, TEXT_COLUMN) == OK)
        wdelch(g_pCommandWindow);
    int status = mvwprintw(g_pCommandWindow, ERROR_ROW, TEXT_COLUMN, "ERROR:%s", message);
    if (s_isInputActive)
        RestorePromptAfterError(cursorRow, cursorColumn);
    return status;
}

// ---------------------------------------------------------------- status window

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
    if (mode == 1 || mode == DISPLAY_ORDINARY) {
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

// ---------------------------------------------------------------- command window

void DrawPrompt()
{
    box(g_pCommandWindow, 0, 0);
    mvwaddstr(g_pCommandWindow, PROMPT_ROW, PROMPT_COLUMN, ">>");
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    s_isInputActive = true;
    RefreshWindow(g_pCommandWindow);
}

void DrawCommandLine(const LineEditor *editor)
{
    // One cell stays free after the text for the cursor.
    const int width = ECHO_LAST_COLUMN - ECHO_COLUMN + 1;
    int usedCells = 0;
    size_t first = LineEditor_VisibleFrom(editor, width - 1, &usedCells);
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    for (int column = ECHO_COLUMN; column <= ECHO_LAST_COLUMN; column++)
        waddch(g_pCommandWindow, ' ');
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    size_t offset = LineEditor_ByteOffset(editor, first);
    for (size_t i = first; i < editor->charCount; i++) {
        const char *bytes = editor->bytes + offset;
        if (*bytes == '\t')
            waddch(g_pCommandWindow, ' ');
        else
            waddnstr(g_pCommandWindow, bytes, editor->charBytes[i]);
        offset += editor->charBytes[i];
    }
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN + usedCells);
    RefreshWindow(g_pCommandWindow);
}

void EndCommandInput()
{
    s_isInputActive = false;
    werase(g_pCommandWindow);
}

// Written piece by piece, not with printw: curses formats into a buffer the
// size of the screen, and for a longer text formats again from an argument
// list it has already read (showing "(null)", or crashing). A typed line can
// be that long.
void EchoCommand(const char *line)
{
    mvwaddstr(g_pCommandWindow, COMMAND_ECHO_ROW, TEXT_COLUMN, "command! : ");
    waddstr(g_pCommandWindow, line);
    waddch(g_pCommandWindow, '\n');
}

void Beep()
{
    beep();
}

// ---------------------------------------------------------------- keys

static CommandKey ClassifyFunctionKey(wint_t key)
{
    switch (key) {
    case KEY_BACKSPACE: return {KEY_ACTION_ERASE, 0};
    case KEY_ENTER: return {KEY_ACTION_ENTER, 0};
    default: return {KEY_ACTION_IGNORE, 0};
    }
}

static CommandKey ClassifyCharacter(wchar_t key)
{
    if (key == L'\n' || key == L'\r')
        return {KEY_ACTION_ENTER, 0};
    if (key == s_eraseKey || key == L'\x7f' || key == L'\b')
        return {KEY_ACTION_ERASE, 0};
    if (key == s_killKey || key == L'\x15')
        return {KEY_ACTION_KILL, 0};
    if (key == L'\x17')
        return {KEY_ACTION_ERASE_WORD, 0};
    bool isControl = (key < L' ' && key != L'\t') || (key >= L'\x7f' && key < L'\xa0');
    if (isControl)
        return {KEY_ACTION_IGNORE, 0};
    return {KEY_ACTION_INSERT, key};
}

CommandKey ReadCommandKey()
{
    wint_t key;
    int status = wget_wch(s_keyWindow, &key);
    if (status == ERR)
        return {KEY_ACTION_NONE, 0};
    if (status == KEY_CODE_YES)
        return ClassifyFunctionKey(key);
    return ClassifyCharacter(static_cast<wchar_t>(key));
}

// ---------------------------------------------------------------- resizing

// Draws both windows whole after the terminal was too small or changed.
static void RepaintAll()
{
    werase(stdscr);
    wnoutrefresh(stdscr);
    clearok(curscr, TRUE);
    if (g_pPrinterWindow != nullptr) {
        touchwin(g_pPrinterWindow);
        wnoutrefresh(g_pPrinterWindow);
    }
    touchwin(g_pCommandWindow);
    wnoutrefresh(g_pCommandWindow);
    doupdate();
}

// curses stretches windows that touch the screen's edge when the screen
// changes size; the layout is fixed, so put both windows back.
static void KeepFixedLayout()
{
    if (g_pPrinterWindow != nullptr) {
        wresize(g_pPrinterWindow, PRINTER_WINDOW_LINES, SCREEN_MIN_COLUMNS);
        mvwin(g_pPrinterWindow, 0, 0);
    }
    wresize(g_pCommandWindow, COMMAND_WINDOW_LINES, SCREEN_MIN_COLUMNS);
    mvwin(g_pCommandWindow, COMMAND_WINDOW_TOP, 0);
}

static void ShowTooSmallNotice()
{
    werase(stdscr);
    mvwaddstr(stdscr, 0, 0, "Quillbay needs 80x25");
    clearok(curscr, TRUE);
    wrefresh(stdscr);
}

void ApplyTerminalSize(int lines, int columns)
{
    if (lines < SCREEN_MIN_LINES || columns < SCREEN_MIN_COLUMNS) {
        ShowTooSmallNotice();
        s_isTooSmall = true;
        return;
    }
    s_isTooSmall = false;
    if (lines != LINES || columns != COLS) {
        resize_term(lines, columns);
        KeepFixedLayout();
    }
    RepaintAll();
}

void HandleTerminalResize()
{
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0)
        ApplyTerminalSize(size.ws_row, size.ws_col);
}
