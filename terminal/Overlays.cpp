// What opens over the status window: the help view and the list of
// completion choices just above the command window.
#include "terminal/display.h"

#include <algorithm>

#include "terminal/DisplayParts.h"

// Overlay layout.
constexpr int CANDIDATE_MAX_ROWS = 8;   // rows of completion choices; the list's frame adds two
constexpr int CANDIDATE_GAP = 2;        // blank columns between two choices
constexpr int OVERLAY_TEXT_COLUMN = 1;  // first column inside a frame

static WINDOW *s_helpWindow;       // the help view over the status window; NULL when closed
static WINDOW *s_candidateWindow;  // completion choices above the command window; NULL when none

void PutOverlays()
{
    for (WINDOW *overlay : {s_candidateWindow, s_helpWindow}) {
        if (overlay != nullptr) {
            touchwin(overlay);
            wnoutrefresh(overlay);
        }
    }
}

void KeepOverlaysInPlace()
{
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

void ForgetOverlays()
{
    s_helpWindow = s_candidateWindow = nullptr;
}

// ---------------------------------------------------------------- help

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

// ---------------------------------------------------------------- candidates

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
