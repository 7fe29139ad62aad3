#include "terminal/display.h"

#include <algorithm>
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
constexpr int PROMPT_ROW = 2;
constexpr int PROMPT_COLUMN = 2;
constexpr int ECHO_COLUMN = 4;
constexpr int ECHO_LAST_COLUMN = 78;  // column 79 is the frame
constexpr int COMMAND_ECHO_ROW = 3;

// Overlays over the status window.
constexpr int CANDIDATE_MAX_ROWS = 8;   // rows of completion choices; the list's frame adds two
constexpr int CANDIDATE_GAP = 2;        // blank columns between two choices
constexpr int OVERLAY_TEXT_COLUMN = 1;  // first column inside a frame

// Status window layout.
constexpr int PRINTER_WINDOW_LINES = 20;
constexpr int TIME_ROW = 5;
constexpr int SUPPLIES_ROW = 7;
constexpr int SUPPLIES_COLUMN = 30;
constexpr int WAIT_LIST_ROW = 10;
constexpr int USER_LIST_ROW = 15;
constexpr int TIME_TEXT_SIZE = 128;

static SCREEN *s_screen;
static WINDOW *s_keyWindow;     // never drawn, so reading keys never refreshes anything
static bool s_isInputActive;    // the prompt is up and the cursor belongs at its end
static bool s_isTooSmall;       // drawing held back until the terminal grows again
static WINDOW *s_helpWindow;    // the help view over the status window; NULL when closed
static WINDOW *s_candidateWindow;  // completion choices above the command window; NULL when none
static size_t s_viewFirst;      // first character of the typed line shown
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
    g_pCommandWindow = g_pPrinterWindow = s_keyWindow = s_helpWindow = s_candidateWindow = nullptr;
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

// Puts the overlays back over the status window, the help view on top.
static void PutOverlays()
{
    for (WINDOW *overlay : {s_candidateWindow, s_helpWindow}) {
        if (overlay != nullptr) {
            touchwin(overlay);
            wnoutrefresh(overlay);
        }
    }
}

// Puts a changed window on the terminal. The overlays stay over the status
// window; while the prompt is up the command window goes last, so the
// cursor stays at the end of the typed text.
static void RefreshWindow(WINDOW *window)
{
    if (s_isTooSmall)
        return;
    wnoutrefresh(window);
    if (window == g_pPrinterWindow)
        PutOverlays();
    if (s_isInputActive && window != g_pCommandWindow)
        wnoutrefresh(g_pCommandWindow);
    doupdate();
}

// Shows again what an overlay that went covered: the status window, or the
// blank screen before its first redraw.
static void ShowUnderOverlays()
{
    if (s_isTooSmall)
        return;
    touchwin(stdscr);
    wnoutrefresh(stdscr);
    if (g_pPrinterWindow != nullptr) {
        touchwin(g_pPrinterWindow);
        wnoutrefresh(g_pPrinterWindow);
    }
    PutOverlays();
    touchwin(g_pCommandWindow);
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

// ---------------------------------------------------------------- command window

void DrawPrompt()
{
    box(g_pCommandWindow, 0, 0);
    mvwaddstr(g_pCommandWindow, PROMPT_ROW, PROMPT_COLUMN, ">>");
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    s_isInputActive = true;
    s_viewFirst = 0;
    RefreshWindow(g_pCommandWindow);
}

void DrawCommandLine(const LineEditor *editor)
{
    // One cell stays free after the text for the cursor.
    const int width = ECHO_LAST_COLUMN - ECHO_COLUMN + 1;
    s_viewFirst = LineEditor_ViewStart(editor, s_viewFirst, width - 1);
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    for (int column = ECHO_COLUMN; column <= ECHO_LAST_COLUMN; column++)
        waddch(g_pCommandWindow, ' ');
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    int column = ECHO_COLUMN;
    int cursorColumn = ECHO_COLUMN;
    size_t offset = LineEditor_ByteOffset(editor, s_viewFirst);
    for (size_t i = s_viewFirst; i < editor->charCount; i++) {
        if (i == editor->cursor)
            cursorColumn = column;
        if (column + editor->charCells[i] > ECHO_LAST_COLUMN + 1)
            break;
        const char *bytes = editor->bytes + offset;
        if (*bytes == '\t')
            waddch(g_pCommandWindow, ' ');
        else
            waddnstr(g_pCommandWindow, bytes, editor->charBytes[i]);
        offset += editor->charBytes[i];
        column += editor->charCells[i];
    }
    if (editor->cursor == editor->charCount)
        cursorColumn = column;
    wmove(g_pCommandWindow, PROMPT_ROW, cursorColumn);
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

// Function keys the prompt uses; every other one is ignored. Terminals send
// Home and End as the keys that some descriptions call Find and Select.
static const struct {
    int key;
    KeyAction action;
} FUNCTION_KEYS[] = {
    {KEY_BACKSPACE, KEY_ACTION_ERASE}, {KEY_DC, KEY_ACTION_DELETE},   {KEY_ENTER, KEY_ACTION_ENTER},
    {KEY_LEFT, KEY_ACTION_LEFT},       {KEY_RIGHT, KEY_ACTION_RIGHT}, {KEY_HOME, KEY_ACTION_HOME},
    {KEY_FIND, KEY_ACTION_HOME},       {KEY_END, KEY_ACTION_END},     {KEY_SELECT, KEY_ACTION_END},
    {KEY_UP, KEY_ACTION_OLDER},        {KEY_DOWN, KEY_ACTION_NEWER},  {KEY_F(1), KEY_ACTION_HELP},
};

// Control characters the prompt uses, after the terminal's own erase and
// kill keys; every other one is ignored.
static const struct {
    wchar_t key;
    KeyAction action;
} CONTROL_KEYS[] = {
    {L'\n', KEY_ACTION_ENTER},        {L'\r', KEY_ACTION_ENTER},       {L'\x7f', KEY_ACTION_ERASE},
    {L'\b', KEY_ACTION_ERASE},        {L'\x15', KEY_ACTION_KILL},      {L'\x17', KEY_ACTION_ERASE_WORD},
    {L'\x0b', KEY_ACTION_KILL_TO_END}, {L'\x01', KEY_ACTION_HOME},      {L'\x05', KEY_ACTION_END},
    {L'\x02', KEY_ACTION_LEFT},       {L'\x06', KEY_ACTION_RIGHT},     {L'\x10', KEY_ACTION_OLDER},
    {L'\x0e', KEY_ACTION_NEWER},      {L'\t', KEY_ACTION_COMPLETE},    {L'\x0c', KEY_ACTION_REDRAW},
    {L'\x04', KEY_ACTION_END_OF_INPUT}, {L'\x1b', KEY_ACTION_ESCAPE},
};

static CommandKey ClassifyFunctionKey(wint_t key)
{
    for (const auto &row : FUNCTION_KEYS) {
        if (static_cast<wint_t>(row.key) == key)
            return {row.action, 0};
    }
    return {KEY_ACTION_IGNORE, 0};
}

static CommandKey ClassifyCharacter(wchar_t key)
{
    if (key == s_eraseKey)
        return {KEY_ACTION_ERASE, 0};
    if (key == s_killKey)
        return {KEY_ACTION_KILL, 0};
    for (const auto &row : CONTROL_KEYS) {
        if (row.key == key)
            return {row.action, 0};
    }
    bool isControl = key < L' ' || (key >= L'\x7f' && key < L'\xa0');
    if (isControl)
        return {KEY_ACTION_IGNORE, 0};
    return {KEY_ACTION_INSERT, key};
}

// True when another key has arrived already; it stays to be read.
static bool IsKeyPending()
{
    wint_t next;
    int status = wget_wch(s_keyWindow, &next);
    if (status == ERR)
        return false;
    if (status == KEY_CODE_YES)
        ungetch(static_cast<int>(next));
    else
        unget_wch(static_cast<wchar_t>(next));
    return true;
}

CommandKey ReadCommandKey()
{
    wint_t key;
    int status = wget_wch(s_keyWindow, &key);
    if (status == ERR)
        return {KEY_ACTION_NONE, 0};
    if (status == KEY_CODE_YES)
        return ClassifyFunctionKey(key);
    CommandKey command = ClassifyCharacter(static_cast<wchar_t>(key));
    // An Esc that came with a key behind it (curses waited for that key) is
    // Alt and that key: both are ignored.
    wint_t next;
    if (command.action == KEY_ACTION_ESCAPE && wget_wch(s_keyWindow, &next) != ERR)
        return {KEY_ACTION_IGNORE, 0};
    // A tab with more keys right behind it was pasted, not pressed: it is
    // part of the text.
    if (command.action == KEY_ACTION_COMPLETE && IsKeyPending())
        return {KEY_ACTION_INSERT, L'\t'};
    return command;
}

// ---------------------------------------------------------------- overlays

void OpenHelpView(const std::vector<std::string> &lines)
{
    if (s_helpWindow == nullptr)
        s_helpWindow = newwin(PRINTER_WINDOW_LINES, SCREEN_MIN_COLUMNS, 0, 0);
    werase(s_helpWindow);
    box(s_helpWindow, 0, 0);
    const int lastRow = PRINTER_WINDOW_LINES - 2;
    const int width = SCREEN_MIN_COLUMNS - 2 * OVERLAY_TEXT_COLUMN;
    for (int row = 1; row <= lastRow && static_cast<size_t>(row) <= lines.size(); row++)
        mvwaddnstr(s_helpWindow, row, OVERLAY_TEXT_COLUMN, lines[row - 1].c_str(), width);
    RefreshWindow(s_helpWindow);
}

// Removes an overlay, if it is up, and shows what it covered.
static void CloseOverlay(WINDOW **overlay)
{
    if (*overlay == nullptr)
        return;
    delwin(*overlay);
    *overlay = nullptr;
    ShowUnderOverlays();
}

void CloseHelpView()
{
    CloseOverlay(&s_helpWindow);
}

// A label as wide characters, cut to `cells` display cells.
static std::wstring WideLabel(const std::string &label, int cells)
{
    std::wstring wide(label.size(), L'\0');
    size_t count = mbstowcs(wide.data(), label.c_str(), wide.size());
    wide.resize(count == static_cast<size_t>(-1) ? 0 : count);
    while (!wide.empty() && wcswidth(wide.c_str(), wide.size()) > cells)
        wide.pop_back();
    return wide;
}

// The choices in columns, down then across, in a frame just above the
// command window. What does not fit is counted on the last place.
void ShowCandidates(const std::vector<std::string> &labels)
{
    HideCandidates();
    if (labels.empty())
        return;
    const int inside = SCREEN_MIN_COLUMNS - 2 - 2 * OVERLAY_TEXT_COLUMN;
    const int left = 1 + OVERLAY_TEXT_COLUMN;
    std::vector<std::wstring> wide;
    int widest = 1;
    for (const std::string &label : labels) {
        wide.push_back(WideLabel(label, inside - CANDIDATE_GAP));
        widest = std::max(widest, wcswidth(wide.back().c_str(), wide.back().size()));
    }
    const int columnWidth = widest + CANDIDATE_GAP;
    const int columns = std::max(1, (inside + CANDIDATE_GAP) / columnWidth);
    const int count = static_cast<int>(labels.size());
    const int rows = std::min(CANDIDATE_MAX_ROWS, (count + columns - 1) / columns);
    const int places = rows * columns;
    s_candidateWindow = newwin(rows + 2, SCREEN_MIN_COLUMNS, COMMAND_WINDOW_TOP - rows - 2, 0);
    box(s_candidateWindow, 0, 0);
    for (int i = 0; i < count && i < places; i++) {
        int row = 1 + i % rows;
        int column = left + (i / rows) * columnWidth;
        if (i == places - 1 && count > places) {
            std::string more = "+" + std::to_string(count - i) + " more";
            mvwaddnstr(s_candidateWindow, row, column, more.c_str(), left + inside - column);
            break;
        }
        mvwaddnwstr(s_candidateWindow, row, column, wide[i].c_str(), static_cast<int>(wide[i].size()));
    }
    RefreshWindow(s_candidateWindow);
}

void HideCandidates()
{
    CloseOverlay(&s_candidateWindow);
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
    PutOverlays();
    touchwin(g_pCommandWindow);
    wnoutrefresh(g_pCommandWindow);
    doupdate();
}

void RedrawScreen()
{
    if (!s_isTooSmall)
        RepaintAll();
}

bool IsDisplayHeldBack()
{
    return s_isTooSmall;
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
    if (s_helpWindow != nullptr) {
        wresize(s_helpWindow, PRINTER_WINDOW_LINES, SCREEN_MIN_COLUMNS);
        mvwin(s_helpWindow, 0, 0);
    }
    if (s_candidateWindow != nullptr) {
        int lines = getmaxy(s_candidateWindow);
        wresize(s_candidateWindow, lines, SCREEN_MIN_COLUMNS);
        mvwin(s_candidateWindow, COMMAND_WINDOW_TOP - lines, 0);
    }
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

// ---------------------------------------------------------------- measuring

constexpr int HELD_KEYS_MAX = 32;  // keys looked at behind the Esc; curses pushes back about 130 bytes

void DrawMeasureProgress(int percent)
{
    box(g_pCommandWindow, 0, 0);
    mvwprintw(g_pCommandWindow, PROMPT_ROW, TEXT_COLUMN, "Measuring the print file: %3d%%  (Esc abandons)", percent);
    RefreshWindow(g_pCommandWindow);
}

void EraseMeasureProgress()
{
    wmove(g_pCommandWindow, PROMPT_ROW, TEXT_COLUMN);
    for (int column = TEXT_COLUMN; column <= ECHO_LAST_COLUMN; column++)
        waddch(g_pCommandWindow, ' ');
    RefreshWindow(g_pCommandWindow);
}

// Reads the keys typed so far and pushes them back, last first, so they
// come again in their order. Keys past HELD_KEYS_MAX stay unread behind
// them; an Esc among those is seen once the earlier keys are read.
bool TakeEscapeKey()
{
    wint_t keys[HELD_KEYS_MAX];
    bool isFunctionKey[HELD_KEYS_MAX];
    int count = 0;
    bool isEscape = false;
    while (count < HELD_KEYS_MAX && !isEscape) {
        wint_t key;
        int status = wget_wch(s_keyWindow, &key);
        if (status == ERR)
            break;
        isEscape = status == OK && key == L'\x1b';
        if (!isEscape) {
            keys[count] = key;
            isFunctionKey[count++] = status == KEY_CODE_YES;
        }
    }
    while (count-- > 0) {
        if (isFunctionKey[count])
            ungetch(static_cast<int>(keys[count]));
        else
            unget_wch(static_cast<wchar_t>(keys[count]));
    }
    return isEscape;
}
