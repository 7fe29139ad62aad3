#include "terminal/screen/CommandWindow.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "terminal/prompt/LineEditor.h"
#include "terminal/screen/Screen.h"

WINDOW *g_pCommandWindow;

static bool s_isInputActive;  // the prompt is up and the cursor belongs at its end
static size_t s_viewFirst;    // first character of the typed line shown

bool IsPromptShown()
{
    return s_isInputActive;
}

void ForgetCommandWindow()
{
    g_pCommandWindow = nullptr;
    s_isInputActive = false;
}

// ---------------------------------------------------------------- error row

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

// ---------------------------------------------------------------- prompt

void DrawPrompt()
{
    box(g_pCommandWindow, 0, 0);
    mvwaddstr(g_pCommandWindow, PROMPT_ROW, PROMPT_COLUMN, ">>");
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    s_isInputActive = true;
    s_viewFirst = 0;
    RefreshWindow(g_pCommandWindow);
}

// The cells character `index` (at byte `offset`) takes when drawn from
// window column `column`: a tab runs to the next tab stop, as the line read
// draws one.
static int DrawnCells(const LineEditor *editor, size_t index, size_t offset, int column)
{
    if (editor->bytes[offset] == '\t')
        return TAB_STOP - column % TAB_STOP;
    return editor->charCells[index];
}

// The window column where the line drawn from character `first` puts the
// cursor; a '<' at the start of the row says that text is hidden before it.
static int CursorColumn(const LineEditor *editor, size_t first)
{
    int column = ECHO_COLUMN + (first > 0 ? 1 : 0);
    size_t offset = LineEditor_ByteOffset(editor, first);
    for (size_t i = first; i < editor->cursor; i++) {
        column += DrawnCells(editor, i, offset, column);
        offset += editor->charBytes[i];
    }
    return column;
}

// The first character shown: the view moves only as far as the cursor
// needs, which keeps a cell of its own inside the frame.
static size_t FirstShown(const LineEditor *editor, size_t previous)
{
    const int width = ECHO_LAST_COLUMN - ECHO_COLUMN + 1;
    size_t first = LineEditor_ViewStart(editor, previous, width - 1);
    if (first > 0)
        first = LineEditor_ViewStart(editor, first, width - 2);  // the '<' takes a cell
    while (first < editor->cursor && CursorColumn(editor, first) > ECHO_LAST_COLUMN)
        first++;  // tabs took more cells than they count for
    return first;
}

// The suggestion after the cursor, dimmed, as far as the row holds it; not
// at all on a terminal without the dim attribute.
static void DrawSuggestion(const char *suggestion, int column)
{
    if (suggestion == nullptr || !(termattrs() & A_DIM))
        return;
    std::wstring shown = FitToCells(suggestion, column, ECHO_LAST_COLUMN);
    wattron(g_pCommandWindow, A_DIM);
    mvwaddnwstr(g_pCommandWindow, PROMPT_ROW, column, shown.c_str(), static_cast<int>(shown.size()));
    wattroff(g_pCommandWindow, A_DIM);
}

void DrawCommandLine(const LineEditor *editor, const char *suggestion)
{
    s_viewFirst = FirstShown(editor, s_viewFirst);
    mvwaddstr(g_pCommandWindow, PROMPT_ROW, PROMPT_COLUMN, ">>");  // a search may have covered it
    BlankCommandRow(PROMPT_ROW, ECHO_COLUMN);
    wmove(g_pCommandWindow, PROMPT_ROW, ECHO_COLUMN);
    if (s_viewFirst > 0)
        waddch(g_pCommandWindow, '<');
    int column = ECHO_COLUMN + (s_viewFirst > 0 ? 1 : 0);
    int cursorColumn = column;
    size_t offset = LineEditor_ByteOffset(editor, s_viewFirst);
    for (size_t i = s_viewFirst; i < editor->charCount; i++) {
        if (i == editor->cursor)
            cursorColumn = column;
        int cells = DrawnCells(editor, i, offset, column);
        if (column + cells > ECHO_LAST_COLUMN + 1)
            break;
        const char *bytes = editor->bytes + offset;
        if (*bytes == '\t')
            wprintw(g_pCommandWindow, "%*s", cells, "");
        else
            waddnstr(g_pCommandWindow, bytes, editor->charBytes[i]);
        offset += editor->charBytes[i];
        column += cells;
    }
    if (editor->cursor == editor->charCount) {
        cursorColumn = column;
        DrawSuggestion(suggestion, column);
    }
    wmove(g_pCommandWindow, PROMPT_ROW, cursorColumn);
    RefreshWindow(g_pCommandWindow);
}

void DrawSearchLine(const char *query, const char *match, bool isFailing)
{
    std::string label = std::string(isFailing ? "(failing reverse-i-search)`" : "(reverse-i-search)`") + query + "'";
    BlankCommandRow(PROMPT_ROW, PROMPT_COLUMN);
    WriteCommandRow(PROMPT_ROW, PROMPT_COLUMN, label + ": " + (match != nullptr ? match : ""));
    std::wstring shownLabel = FitToCells(label, PROMPT_COLUMN, ECHO_LAST_COLUMN);
    int cursor = PROMPT_COLUMN + wcswidth(shownLabel.c_str(), shownLabel.size()) - 1;
    wmove(g_pCommandWindow, PROMPT_ROW, std::min(cursor, ECHO_LAST_COLUMN));
    RefreshWindow(g_pCommandWindow);
}

void DrawHint(const std::string &text)
{
    int cursorRow, cursorColumn;
    getyx(g_pCommandWindow, cursorRow, cursorColumn);
    BlankCommandRow(HINT_ROW, TEXT_COLUMN);
    WriteCommandRow(HINT_ROW, TEXT_COLUMN, text);
    wmove(g_pCommandWindow, cursorRow, cursorColumn);
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
