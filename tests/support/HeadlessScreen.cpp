#include "tests/support/HeadlessScreen.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/display.h"

static void ReleaseCurrentJob()
{
    if (g_PrinterContext.pCurrentJob != nullptr) {
        JobDestructor(g_PrinterContext.pCurrentJob);
        free(g_PrinterContext.pCurrentJob);
    }
}

void ResetRecords()
{
    if (g_JobWaitList.pHeader != nullptr)
        DestructLinkedListInstance(&g_JobWaitList);
    if (g_UserInfoList.pHeader != nullptr)
        DestructLinkedListInstance(&g_UserInfoList);
    ReleaseCurrentJob();
    memset(&g_JobWaitList, 0, sizeof g_JobWaitList);
    memset(&g_UserInfoList, 0, sizeof g_UserInfoList);
    memset(&g_PrinterContext, 0, sizeof g_PrinterContext);
    memset(&g_SuppliesData, 0, sizeof g_SuppliesData);
    g_nextUserIdx = 0;
    InitAdmin();
    InitPrinter();
}

void HeadlessScreen::SetUp()
{
    originalDirectory = std::filesystem::current_path();
    char pattern[] = "/tmp/quillbay-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratchDirectory = pattern;
    ASSERT_EQ(chdir(scratchDirectory.c_str()), 0);

    g_BuildSettings = BuildSettings{};
    setenv("LINES", "25", 1);
    setenv("COLUMNS", "80", 1);
    setlocale(LC_ALL, "C.UTF-8");
    FILE *output = fopen("/dev/null", "w");
    FILE *input = fopen("/dev/null", "r");
    ASSERT_EQ(InitDisplayOn("xterm-256color", output, input), DISPLAY_OPENED);
    ResetRecords();
    werase(g_pCommandWindow);  // the start-up message of the directory
}

void HeadlessScreen::TearDown()
{
    ResetRecords();
    CloseDisplay();
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
