#include "terminal/screen/Screen.h"

#include <cstdlib>
#include <cwchar>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/Overlays.h"
#include "terminal/screen/StatusWindow.h"
#include "terminal/screen/TerminalCapabilities.h"
#include "terminal/screen/TerminalOutput.h"

static SCREEN *s_screen;
static bool s_isTooSmall;  // drawing held back until the terminal grows again
static bool s_isShown;     // curses has put its screen up: leaving must take it down
static bool s_isStopped;   // given back to the shell for a stop: nothing is drawn
static std::string s_restore;  // the bytes that give the terminal back, once curses has stopped
static int s_openedLines, s_openedColumns;
static struct termios s_shellModes;  // the terminal's modes when the program started
static bool s_hasShellModes;         // a real terminal: the program sets its modes itself

// ---------------------------------------------------------------- start-up

// Bracketed paste: while the program runs the terminal marks pasted text,
// so a pasted tab is text and a typed Tab completes. Terminals that do not
// know the mode ignore it. The bytes that give the terminal back turn it
// off.
static void MarkPastes()
{
    TerminalOutput_Add("\033[?2004h");
}

DisplayOpenResult InitDisplayOn(const char *terminalType, FILE *output, FILE *input)
{
    if (!CanDrawOnTerminal(terminalType, fileno(output)))
        return DISPLAY_NO_TERMINAL;
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
    typeahead(-1);  // the prompt reads the keys itself; a long paste must not hold drawing back
    ChooseHourMarker();
    wnoutrefresh(stdscr);
    g_pCommandWindow = newwin(COMMAND_WINDOW_LINES, SCREEN_MIN_COLUMNS, COMMAND_WINDOW_TOP, 0);
    MarkPastes();
    return DISPLAY_OPENED;
}

// curses writes into a memory file (screen/TerminalOutput.h), so the program
// sets the terminal's modes itself, as curses would in cbreak mode: keys
// one at a time, no echo, no translation of Return or line feeds. Ctrl-S
// must never stop the printer, so flow control is off too. tcsetattr needs
// no output, so the shell's modes come back even when the terminal takes
// none.
static void SetProgramModes()
{
    struct termios modes = s_shellModes;
    modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL);
    modes.c_lflag |= ISIG;
    modes.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON | IXOFF);
    modes.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    modes.c_cc[VMIN] = 1;
    modes.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &modes);
}

static void RestoreShellModes()
{
    if (s_hasShellModes)
        tcsetattr(STDIN_FILENO, TCSANOW, &s_shellModes);
}

// A memory file has no size: curses learns the terminal's from the environment.
static void TellCursesTheSize()
{
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
        return;
    setenv("LINES", std::to_string(size.ws_row).c_str(), 1);
    setenv("COLUMNS", std::to_string(size.ws_col).c_str(), 1);
}

DisplayOpenResult InitDisplay()
{
    FILE *output = TerminalOutput_Open();
    if (output == nullptr || tcgetattr(STDIN_FILENO, &s_shellModes) != 0)
        return DISPLAY_NO_TERMINAL;
    s_hasShellModes = true;
    TellCursesTheSize();
    DisplayOpenResult result = InitDisplayOn(nullptr, output, stdin);
    if (result != DISPLAY_OPENED)
        return result;
    SetProgramModes();
    TerminalOutput_SetScreenSize(LINES, COLS);
    doupdate();  // the screen opens now: the alternate screen, blank
    s_isShown = true;
    return result;
}

void ShowGreeting(const char *text)
{
    TerminalOutput_Add(text);
    TerminalOutput_Add("\r");  // back where curses believes the cursor is
}

// Stops curses and drops what it wrote last with everything else on its
// way to the terminal: over a slow or stopped terminal that could keep the
// shell's screen away for seconds, and it may end inside an escape
// sequence. Keeps the bytes that give the terminal back, to go alone.
static void StopCurses()
{
    s_restore = s_isShown ? TerminalRestoreSequence(LINES - 1) : std::string();
    endwin();
    TerminalOutput_Drop();
}

void GiveTerminalBack()
{
    TerminalOutput_SendRestore(s_restore);
    RestoreShellModes();
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
    StopCurses();
    GiveTerminalBack();
    delscreen(s_screen);
    s_screen = nullptr;
    ForgetCommandWindow();
    ForgetStatusWindow();
    ForgetOverlays();
    s_isTooSmall = s_isShown = s_isStopped = false;
}

void SuspendDisplay()
{
    if (s_screen == nullptr || s_isStopped)
        return;
    StopCurses();
    s_isStopped = true;
}

void ResumeDisplay()
{
    if (s_screen == nullptr)
        return;
    s_isStopped = false;
    if (s_hasShellModes)
        SetProgramModes();
    TerminalOutput_Resume();
    reset_prog_mode();
    MarkPastes();
    RepaintScreen(REPAINT_RESUMED);
}

// ---------------------------------------------------------------- refresh

void RefreshWindow(WINDOW *window)
{
    if (s_isTooSmall || s_isStopped)
        return;
    wnoutrefresh(window);
    if (window == g_pPrinterWindow)
        PutOverlays();
    if (IsPromptShown() && window != g_pCommandWindow)
        wnoutrefresh(g_pCommandWindow);
    doupdate();
}

// Puts every window on the terminal again: the status window (or the blank
// screen before its first redraw), the overlays, the command window last.
// With `isCleared` the terminal is cleared first and every cell sent anew;
// without, only what differs from what the terminal shows.
static void PutWindows(bool isCleared)
{
    if (s_isTooSmall || s_isStopped)
        return;
    if (isCleared) {
        werase(stdscr);
        clearok(curscr, TRUE);
    }
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

void ShowUnderOverlays()
{
    PutWindows(false);
}

// ---------------------------------------------------------------- text

std::wstring FitToCells(const std::string &text, int column, int lastColumn)
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

// ---------------------------------------------------------------- repainting

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
    KeepOverlaysInPlace();
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
    TerminalOutput_SetScreenSize(lines, columns);
    if (lines != LINES || columns != COLS) {
        resize_term(lines, columns);
        KeepFixedLayout();
    }
    PutWindows(true);
}

void RepaintScreen(RepaintReason reason)
{
    if (s_isStopped)
        return;
    struct winsize size;
    bool isSizeKnown = reason != REPAINT_ASKED && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0;
    if (isSizeKnown)
        ApplyTerminalSize(size.ws_row, size.ws_col);
    else
        PutWindows(true);
}
