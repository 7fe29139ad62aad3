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
#include "terminal/TerminalCapabilities.h"
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

// Overlays over the status window.
constexpr int CANDIDATE_MAX_ROWS = 8;   // rows of completion choices; the list's frame adds two
constexpr int CANDIDATE_GAP = 2;        // blank columns between two choices
constexpr int OVERLAY_TEXT_COLUMN = 1;  // first column inside a frame

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
static FILE *s_output;          // where the screen goes; curses writes there too
static bool s_isInputActive;    // the prompt is up and the cursor belongs at its end
static bool s_isTooSmall;       // drawing held back until the terminal grows again
static WINDOW *s_helpWindow;    // the help view over the status window; NULL when closed
static WINDOW *s_candidateWindow;  // completion choices above the command window; NULL when none
static size_t s_viewFirst;      // first character of the typed line shown
static int s_openedLines, s_openedColumns;
static char s_hourMarker[MB_LEN_MAX + 1];  // U+C2DC in the locale's encoding, or a stand-in

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

// Bracketed paste: while the program runs the terminal marks pasted text,
// so a pasted tab is text and a typed Tab completes. Terminals that do not
// know the mode ignore it.
static void SetPasteMarking(bool isOn)
{
    fputs(isOn ? "\033[?2004h" : "\033[?2004l", s_output);
    fflush(s_output);
}

DisplayOpenResult InitDisplayOn(const char *terminalType, FILE *output, FILE *input)
{
    if (!CanDrawOnTerminal(terminalType, fileno(output)))
        return DISPLAY_NO_TERMINAL;
    s_screen = newterm(terminalType, output, input);
    s_output = output;
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
    typeahead(-1);  // the prompt reads the keys itself; a long paste must not hold drawing back
    ChooseHourMarker();
    wnoutrefresh(stdscr);
    g_pCommandWindow = newwin(COMMAND_WINDOW_LINES, SCREEN_MIN_COLUMNS, COMMAND_WINDOW_TOP, 0);
    SetPasteMarking(true);
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
    SetPasteMarking(false);
    endwin();
    delscreen(s_screen);
    s_screen = nullptr;
    g_pCommandWindow = g_pPrinterWindow = s_helpWindow = s_candidateWindow = nullptr;
    s_isInputActive = s_isTooSmall = false;
    g_userListDisplayCnt = 0;
}

void SuspendDisplay()
{
    if (s_screen == nullptr)
        return;
    SetPasteMarking(false);
    endwin();
}

void ResumeDisplay()
{
    if (s_screen == nullptr)
        return;
    reset_prog_mode();
    SetPasteMarking(true);
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

constexpr int TAB_STOP = 8;  // a tab runs to the next multiple of 8, as curses draws one

// Text as wide characters to show from window column `column` to column
// `lastColumn`, cut there. A byte that does not decode, or a character that
// cannot be shown, shows as '?'; a tab as blanks up to the next tab stop.
static std::wstring FitToCells(const std::string &text, int column, int lastColumn)
{
    std::wstring wide;
    mbstate_t state = {};
    for (size_t at = 0; at < text.size();) {
        wchar_t character;
        size_t count = mbrtowc(&character, text.data() + at, text.size() - at, &state);
        if (count == 0 || count > text.size() - at) {
            character = L'?';
            count = 1;
            state = {};
        }
        int width = character == L'\t' ? TAB_STOP - column % TAB_STOP : wcwidth(character);
        if (width < 0) {
            character = L'?';
            width = 1;
        }
        if (column + width > lastColumn + 1)
            break;
        wide.append(character == L'\t' ? static_cast<size_t>(width) : 1, character == L'\t' ? L' ' : character);
        column += width;
        at += count;
    }
    return wide;
}

// Blanks a command window row from `column` to the frame.
static void BlankCommandRow(int row, int column)
{
    wmove(g_pCommandWindow, row, column);
    for (; column <= ECHO_LAST_COLUMN; column++)
        waddch(g_pCommandWindow, ' ');
}

// Writes text from `column` on, cut at the frame.
static int WriteCommandRow(int row, int column, const std::string &text)
{
    std::wstring shown = FitToCells(text, column, ECHO_LAST_COLUMN);
    return mvwaddnwstr(g_pCommandWindow, row, column, shown.c_str(), static_cast<int>(shown.size()));
}

// The row is blanked up to the frame first, so no tail of a longer message
// stays, and the text is cut at the frame, so the frame stays whole. While
// the prompt is up the cursor goes back to the end of the typed text.
int DisplayError(const char *message)
{
    if (g_pCommandWindow == nullptr)
        return ERR;
    int cursorRow, cursorColumn;
    getyx(g_pCommandWindow, cursorRow, cursorColumn);
    BlankCommandRow(ERROR_ROW, TEXT_COLUMN);
    int status = WriteCommandRow(ERROR_ROW, TEXT_COLUMN, std::string("ERROR:") + message);
    if (s_isInputActive)
        wmove(g_pCommandWindow, cursorRow, cursorColumn);
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
    mvwaddstr(g_pCommandWindow, PROMPT_ROW, PROMPT_COLUMN, ">>");  // a search may have covered it
    BlankCommandRow(PROMPT_ROW, ECHO_COLUMN);
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

void DrawSearchLine(const char *query, const char *match)
{
    std::string label = std::string("(reverse-i-search)`") + query + "'";
    BlankCommandRow(PROMPT_ROW, PROMPT_COLUMN);
    WriteCommandRow(PROMPT_ROW, PROMPT_COLUMN, label + ": " + (match != nullptr ? match : ""));
    std::wstring shownLabel = FitToCells(label, PROMPT_COLUMN, ECHO_LAST_COLUMN);
    int cursor = PROMPT_COLUMN + wcswidth(shownLabel.c_str(), shownLabel.size()) - 1;
    wmove(g_pCommandWindow, PROMPT_ROW, std::min(cursor, ECHO_LAST_COLUMN));
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

// The choices in columns, down then across, in a frame just above the
// command window. Where not all are shown, the last place says how many
// more there are, or that the list was cut where nobody counted them.
void ShowCandidates(const std::vector<std::string> &labels, size_t total, bool isCut)
{
    HideCandidates();
    if (labels.empty())
        return;
    const int inside = SCREEN_MIN_COLUMNS - 2 - 2 * OVERLAY_TEXT_COLUMN;
    const int left = 1 + OVERLAY_TEXT_COLUMN;
    std::vector<std::wstring> wide;
    int widest = 1;
    for (const std::string &label : labels) {
        wide.push_back(FitToCells(label, 0, inside - CANDIDATE_GAP - 1));
        widest = std::max(widest, wcswidth(wide.back().c_str(), wide.back().size()));
    }
    const int columnWidth = widest + CANDIDATE_GAP;
    const int columns = std::max(1, (inside + CANDIDATE_GAP) / columnWidth);
    const int count = static_cast<int>(labels.size());
    const bool isWhole = !isCut && total <= labels.size();
    const int wanted = count + (isWhole ? 0 : 1);  // a place for the count of the rest
    const int rows = std::min(CANDIDATE_MAX_ROWS, (wanted + columns - 1) / columns);
    const int places = rows * columns;
    const int shown = wanted <= places ? count : places - 1;
    s_candidateWindow = newwin(rows + 2, SCREEN_MIN_COLUMNS, COMMAND_WINDOW_TOP - rows - 2, 0);
    box(s_candidateWindow, 0, 0);
    for (int i = 0; i <= shown && i < places; i++) {
        int row = 1 + i % rows;
        int column = left + (i / rows) * columnWidth;
        if (i < shown) {
            mvwaddnwstr(s_candidateWindow, row, column, wide[i].c_str(), static_cast<int>(wide[i].size()));
        } else if (shown < count || !isWhole) {
            std::string more = isCut ? "+more, list cut" : "+" + std::to_string(total - shown) + " more";
            mvwaddnstr(s_candidateWindow, row, column, more.c_str(), left + inside - column);
        }
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

void DrawMeasureProgress(int percent)
{
    box(g_pCommandWindow, 0, 0);
    mvwprintw(g_pCommandWindow, PROMPT_ROW, TEXT_COLUMN, "Measuring the print file: %3d%%  (Esc abandons)", percent);
    RefreshWindow(g_pCommandWindow);
}

void EraseMeasureProgress()
{
    BlankCommandRow(PROMPT_ROW, TEXT_COLUMN);
    RefreshWindow(g_pCommandWindow);
}
