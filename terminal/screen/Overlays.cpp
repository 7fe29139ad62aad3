#include "terminal/screen/Overlays.h"

#include <algorithm>

#include "terminal/screen/Screen.h"

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

// What the list leaves out, set into its bottom frame at the right: how
// many more there are, or that nobody could count them.
static void NoteLeftOut(int bottomRow, size_t leftOut, bool isCut)
{
    std::string note = isCut ? " +more: the directory is too large to list whole "
                             : " +" + std::to_string(leftOut) + " more ";
    int column = SCREEN_MIN_COLUMNS - 2 - static_cast<int>(note.size());
    mvwaddstr(s_candidateWindow, bottomRow, std::max(1, column), note.c_str());
}

// The choices in columns, down then across, in a frame just above the
// command window.
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
    const int rows = std::min(CANDIDATE_MAX_ROWS, (count + columns - 1) / columns);
    const int shown = std::min(count, rows * columns);
    s_candidateWindow = newwin(rows + 2, SCREEN_MIN_COLUMNS, COMMAND_WINDOW_TOP - rows - 2, 0);
    box(s_candidateWindow, 0, 0);
    for (int i = 0; i < shown; i++) {
        int column = left + (i / rows) * columnWidth;
        mvwaddnwstr(s_candidateWindow, 1 + i % rows, column, wide[i].c_str(), static_cast<int>(wide[i].size()));
    }
    if (isCut || static_cast<size_t>(shown) < total)
        NoteLeftOut(rows + 1, total - std::min(total, static_cast<size_t>(shown)), isCut);
    RefreshWindow(s_candidateWindow);
}

void HideCandidates()
{
    CloseOverlay(&s_candidateWindow);
}
