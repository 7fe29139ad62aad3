#include "tests/support/ForecastCheck.h"

#include <climits>
#include <cstdlib>
#include <cwchar>

#include "terminal/loop/CommandSelector.h"
#include "terminal/prompt/LineHint.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/Screen.h"
#include "terminal/screen/StatusWindow.h"
#include "tests/support/Records.h"

static const char *const VERDICT_NAMES[] = {"runs", "refused", "nothing happens"};  // by CommandVerdict

// The error row's text, from its text column up to the frame.
static std::string ErrorRowShown()
{
    std::string text;
    for (int column = TEXT_COLUMN; column <= ECHO_LAST_COLUMN; column++) {
        cchar_t cell;
        wchar_t wide[CCHARW_MAX + 1] = {};
        attr_t attributes = 0;
        short pair = 0;
        if (mvwin_wch(g_pCommandWindow, ERROR_ROW, column, &cell) == ERR)
            break;
        getcchar(&cell, wide, &attributes, &pair, nullptr);
        char bytes[MB_LEN_MAX * (CCHARW_MAX + 1)] = {};
        wcstombs(bytes, wide, sizeof bytes);
        text += bytes;
        if (wcwidth(wide[0]) == 2)
            column++;  // its second cell holds the same character
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string CheckForecastHolds(const char *line, const PromptFiles *files)
{
    LineForecast forecast = ForeseeCommandLine(line, files);
    EndCommandInput();  // a blank error row, as each line finds it
    g_userListDisplayCnt = 0;
    RecordsSeen before = SeeRecords();
    CommandSelector(line);
    std::string shown = ErrorRowShown();
    bool isChanged = !(SeeRecords() == before) || g_userListDisplayCnt != 0;
    CommandVerdict happened = !shown.empty() ? VERDICT_REFUSED : isChanged ? VERDICT_RUNS : VERDICT_NOTHING;
    // The message foreseen goes through the same row, so that both are cut
    // and drawn alike.
    EndCommandInput();
    if (forecast.verdict == VERDICT_REFUSED)
        DisplayError(forecast.message.c_str());
    std::string expected = ErrorRowShown();
    EndCommandInput();
    if (happened == forecast.verdict && shown == expected)
        return "";
    return std::string("\"") + line + "\": the hint foresaw " + VERDICT_NAMES[forecast.verdict] +
           (expected.empty() ? "" : " (" + expected + ")") + ", the command " + VERDICT_NAMES[happened] +
           (shown.empty() ? "" : " (" + shown + ")");
}
