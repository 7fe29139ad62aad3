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

// The error row as it shows `message` (or as blank, for none), cut at the
// frame, trailing blanks left out.
static std::string ErrorRowOf(const std::string &message)
{
    std::wstring shown = message.empty() ? L"" : FitToCells("ERROR:" + message, TEXT_COLUMN, ECHO_LAST_COLUMN);
    std::string text(shown.size() * MB_LEN_MAX + 1, '\0');
    size_t length = wcstombs(text.data(), shown.c_str(), text.size());
    text.resize(length == static_cast<size_t>(-1) ? 0 : length);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

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
    std::string expected = forecast.verdict == VERDICT_REFUSED ? ErrorRowOf(forecast.message) : "";
    if (happened == forecast.verdict && shown == expected)
        return "";
    return std::string("\"") + line + "\": the hint foresaw " + VERDICT_NAMES[forecast.verdict] +
           (expected.empty() ? "" : " (" + expected + ")") + ", the command " + VERDICT_NAMES[happened] +
           (shown.empty() ? "" : " (" + shown + ")");
}
