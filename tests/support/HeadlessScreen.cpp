#include "tests/support/HeadlessScreen.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "tests/support/HeadlessTerminal.h"
#include "tests/support/Records.h"

void HeadlessScreen::SetUp()
{
    originalDirectory = std::filesystem::current_path();
    char pattern[] = "/tmp/quillbay-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratchDirectory = pattern;
    ASSERT_EQ(chdir(scratchDirectory.c_str()), 0);

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
    EXPECT_EQ(chdir(originalDirectory.c_str()), 0);
    std::filesystem::remove_all(scratchDirectory);
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

void HeadlessScreen::WriteFile(const std::string &name, const std::string &content)
{
    std::ofstream(name, std::ios::binary) << content;
}

std::string HeadlessScreen::ReadFile(const std::string &name)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return "<missing>";
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
