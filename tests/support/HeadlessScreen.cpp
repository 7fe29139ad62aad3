#include "tests/support/HeadlessScreen.h"

#include <climits>
#include <cstdlib>
#include <cwchar>

#include "tests/support/HeadlessTerminal.h"
#include "tests/support/Records.h"

void HeadlessScreen::SetUp()
{
    ScratchDirectory::SetUp();
    if (HasFatalFailure())
        return;
    g_BuildSettings = BuildSettings{};
    ASSERT_TRUE(OpenHeadlessScreen());
    ResetRecords();
    werase(g_pCommandWindow);  // the start-up message of the directory
}

void HeadlessScreen::TearDown()
{
    ResetRecords();
    CloseHeadlessScreen();
    g_BuildSettings = BuildSettings{};
    ScratchDirectory::TearDown();
}

std::string HeadlessScreen::Cells(WINDOW *window, int row, int from, int count)
{
    std::string text;
    for (int column = from; column < from + count; column++) {
        cchar_t cell;
        if (mvwin_wch(window, row, column, &cell) == ERR)
            break;
        wchar_t wide[CCHARW_MAX + 1] = {};
        attr_t attributes = 0;
        short pair = 0;
        getcchar(&cell, wide, &attributes, &pair, nullptr);
        if (attributes & A_ALTCHARSET) {
            text += '#';  // a frame character
            continue;
        }
        char bytes[MB_LEN_MAX * (CCHARW_MAX + 1)] = {};
        wcstombs(bytes, wide, sizeof bytes);
        text += bytes;
        if (wcwidth(wide[0]) == 2)
            column++;  // its second cell holds the same character
    }
    return text;
}

std::string HeadlessScreen::Row(WINDOW *window, int row)
{
    return Cells(window, row, 0, getmaxx(window));
}
