#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/prompt/LineEditor.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/Overlays.h"
#include "terminal/screen/Screen.h"
#include "terminal/screen/StatusWindow.h"
#include "tests/support/HeadlessScreen.h"

namespace {

using DisplayTest = HeadlessScreen;

std::string Blank(int count)
{
    return std::string(count, ' ');
}

// Text filled with blanks to the 78 cells between the frame's sides.
std::string Padded(const std::string &text)
{
    return text + Blank(78 - static_cast<int>(text.size()));
}

// The text between the frame's sides of a status-window row.
std::string Inside(int row)
{
    return HeadlessScreen::Cells(g_pPrinterWindow, row, 1, 78);
}

void QueueJob(int32_t userID, int32_t needPaper)
{
    PrintJob *job = static_cast<PrintJob *>(calloc(1, sizeof(PrintJob)));
    job->userID = userID;
    job->needPaper = needPaper;
    AddNode(&g_JobWaitList)->pData = job;
}

TEST_F(DisplayTest, IdleWindowFollowsMap)
{
    display(DISPLAY_ORDINARY);
    EXPECT_EQ(Row(g_pPrinterWindow, 0), std::string(80, '#'));
    EXPECT_EQ(Row(g_pPrinterWindow, 19), std::string(80, '#'));
    for (int row : {1, 2, 3, 4, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18})
        EXPECT_EQ(Row(g_pPrinterWindow, row), "#" + Blank(78) + "#") << "row " << row;
    EXPECT_EQ(Inside(6), Padded(" Printer Status : Waiting... | INK : 0 | PAPER : 0"));
    EXPECT_EQ(Inside(7), Padded(Blank(29) + "Admin Supplies { ink = 0 paper = 0 }"));
    EXPECT_EQ(Inside(10), Padded(" JOB WAIT LIST : "));
}

TEST_F(DisplayTest, TimeKeepsColumnsWideHour)
{
    display(DISPLAY_ORDINARY);
    std::string row = Row(g_pPrinterWindow, 5);
    std::regex layout("# system time : year:\\d{4} month:\\d\\d day:\\d\\d hour:\\d\\d\xEC\x8B\x9C min:\\d\\d sec:\\d\\d +#");
    EXPECT_TRUE(std::regex_match(row, layout)) << row;
    // The hour character takes two cells, so " min:" starts at column 51.
    EXPECT_EQ(Cells(g_pPrinterWindow, 5, 51, 5), " min:");
    EXPECT_EQ(Cells(g_pPrinterWindow, 5, 49, 2), "\xEC\x8B\x9C");
}

TEST_F(DisplayTest, StatusTextsForEveryCode)
{
    const struct {
        int state;
        const char *text;
    } rows[] = {
        {PRINTER_WAITING, "Waiting..."},        {PRINTER_PRINTING, "Printing..."},
        {PRINTER_NEED_SUPPLIES, "Need Supplies!"}, {PRINTER_REFILLING, "Refilling..."},
        {PRINTER_REQUEST_CANCEL, "Request Cancel"}, {5, ""},
        {-1, ""},
    };
    PrintJob job = {};
    g_PrinterContext.pCurrentJob = &job;
    for (const auto &row : rows) {
        EXPECT_STREQ(GetStatusDisplayString(row.state), row.text);
        g_PrinterContext.state = row.state;
        display(DISPLAY_ORDINARY);
        EXPECT_EQ(Cells(g_pPrinterWindow, 6, 2, 60).rfind(std::string("Printer Status : ") + row.text + " | INK : 0", 0), 0u)
            << row.state;
    }
    g_PrinterContext.pCurrentJob = nullptr;
}

TEST_F(DisplayTest, JobRowOnlyWhilePrinting)
{
    PrintJob job = {};
    job.userID = 3;
    job.printedPages = 2;
    job.needPaper = 5;
    g_PrinterContext.pCurrentJob = &job;
    g_PrinterContext.state = PRINTER_PRINTING;
    display(DISPLAY_ORDINARY);
    EXPECT_EQ(Inside(8), Padded(" Current Printing Job {UID = 3, 2/5} "));
    g_PrinterContext.state = PRINTER_REFILLING;
    display(DISPLAY_ORDINARY);
    EXPECT_EQ(Inside(8), Blank(78));
    g_PrinterContext.pCurrentJob = nullptr;
}

TEST_F(DisplayTest, WaitListRunsOnAndWraps)
{
    for (int i = 1; i <= 5; i++)
        QueueJob(i, i);
    display(DISPLAY_ORDINARY);
    // Entries start at columns 0, 24, 48 and 72; column 0 lies under the frame.
    EXPECT_EQ(Cells(g_pPrinterWindow, 11, 1, 20), "ID:1, needPaper = 1 ");
    EXPECT_EQ(Cells(g_pPrinterWindow, 11, 24, 21), "UID:2, needPaper = 2 ");
    EXPECT_EQ(Cells(g_pPrinterWindow, 11, 48, 21), "UID:3, needPaper = 3 ");
    // The fourth continues at column 0 of row 12; the fifth starts at 16.
    EXPECT_EQ(Cells(g_pPrinterWindow, 11, 72, 7), "UID:4, ");
    EXPECT_EQ(Cells(g_pPrinterWindow, 12, 1, 12), "edPaper = 4 ");
    EXPECT_EQ(Cells(g_pPrinterWindow, 12, 16, 21), "UID:5, needPaper = 5 ");
}

TEST_F(DisplayTest, UserListLastsTwoRedraws)
{
    AddUser("ann");
    AddUser("bob");
    display(DISPLAY_USER_LIST);
    EXPECT_EQ(g_userListDisplayCnt, 2);
    const bool shown[] = {true, true, true, false};
    for (bool isShown : shown) {
        EXPECT_EQ(Inside(15), Padded(isShown ? " user Name : ann " : ""));
        EXPECT_EQ(Inside(16), Padded(isShown ? " user Name : bob " : ""));
        display(DISPLAY_ORDINARY);
    }
    EXPECT_EQ(g_userListDisplayCnt, 0);
    display(DISPLAY_USER_LIST);  // a new request starts the count again
    EXPECT_EQ(g_userListDisplayCnt, 2);
}

TEST_F(DisplayTest, EmptyUserListSetsCounter)
{
    ShowUserList();
    EXPECT_EQ(g_userListDisplayCnt, 2);
    EXPECT_EQ(Inside(15), Blank(78));
}

TEST_F(DisplayTest, FourUserNamesVisible)
{
    for (const char *name : {"u1", "u2", "u3", "u4", "u5", "u6"})
        AddUser(name);
    display(DISPLAY_USER_LIST);
    for (int row = 15; row <= 18; row++)
        EXPECT_EQ(Cells(g_pPrinterWindow, row, 2, 15), "user Name : u" + std::to_string(row - 14) + " ");
    EXPECT_EQ(Row(g_pPrinterWindow, 19), std::string(80, '#'));
}

TEST_F(DisplayTest, LongStockWrapsToRowEight)
{
    PrintJob job = {};
    job.needPaper = 1;
    g_PrinterContext.pCurrentJob = &job;
    g_PrinterContext.state = PRINTER_PRINTING;
    g_SuppliesData.ink = 2147483647;
    g_SuppliesData.paper = -2147483647;
    display(DISPLAY_ORDINARY);
    EXPECT_EQ(Cells(g_pPrinterWindow, 7, 30, 49), "Admin Supplies { ink = 2147483647 paper = -214748");
    EXPECT_EQ(Inside(8), Padded("47 }"));  // column 0 lies under the frame
    g_PrinterContext.pCurrentJob = nullptr;
}

TEST_F(DisplayTest, NothingDrawnOutsideModes)
{
    for (int mode : {0, -4, 4, 9}) {
        display(mode);
        EXPECT_EQ(Inside(6), Blank(78)) << mode;
        EXPECT_EQ(Row(g_pPrinterWindow, 0), std::string(80, '#'));
    }
}

// Each message blanks the row up to the frame first and is cut at it, so
// neither the tail of a longer message nor a shifted frame character stays.
TEST_F(DisplayTest, ErrorRowReachesTheFrame)
{
    DisplayError("abcdefgh");
    EXPECT_EQ(Cells(g_pCommandWindow, 1, 0, 20), "  ERROR:abcdefgh    ");
    DisplayError("xy");
    EXPECT_EQ(Cells(g_pCommandWindow, 1, 0, 20), "  ERROR:xy          ");
    EndCommandInput();
    DrawMeasureProgress(50);  // the frame is up while no prompt is
    DisplayError(std::string(100, 'm').c_str());
    EXPECT_EQ(Row(g_pCommandWindow, 1), "# ERROR:" + std::string(71, 'm') + "#");
    DisplayError("short \xff\x01");
    EXPECT_EQ(Row(g_pCommandWindow, 1), "# ERROR:short ??" + std::string(63, ' ') + "#");
}

TEST_F(DisplayTest, EchoShortAndLongestLines)
{
    DrawPrompt();
    EchoCommand("admin Add User ann");
    // The line feed clears the rest of the row, the frame's edge included.
    EXPECT_EQ(Row(g_pCommandWindow, 3), "# command! : admin Add User ann" + std::string(49, ' '));

    // A line longer than the screen has cells once made curses format it
    // twice from one argument list (a crash under the address sanitizer).
    std::string longest;
    for (size_t i = 0; i < MAX_COMMAND_LINE_BYTES; i++)
        longest += static_cast<char>('a' + i % 26);
    EchoCommand(longest.c_str());
    EXPECT_EQ(Row(g_pCommandWindow, 3), "# command! : " + longest.substr(0, 67));
    EXPECT_EQ(Row(g_pCommandWindow, 4), longest.substr(67, 80));
}

TEST_F(DisplayTest, ResizeBelowAndBack)
{
    display(DISPLAY_ORDINARY);
    DisplayError("kept");
    ApplyTerminalSize(10, 40);
    display(DISPLAY_ORDINARY);  // held back, never a crash
    DisplayError("too");
    ApplyTerminalSize(25, 80);
    EXPECT_EQ(Cells(g_pPrinterWindow, 6, 2, 28), "Printer Status : Waiting... ");
    EXPECT_EQ(Cells(g_pCommandWindow, 1, 2, 10), "ERROR:too ");
    ApplyTerminalSize(40, 120);
    EXPECT_EQ(getbegy(g_pCommandWindow), 20);
    EXPECT_EQ(getmaxx(g_pPrinterWindow), 80);
}

// The list of choices notes in its bottom frame how many more there are,
// or that it was cut; the frame's sides stay whole.
TEST_F(DisplayTest, CandidatesSayWhatIsCut)
{
    std::vector<std::string> many;
    for (int i = 0; i < 1000; i++)
        many.push_back("n" + std::to_string(1000 + i));
    const struct {
        std::vector<std::string> labels;
        size_t total;
        bool isCut;
        int row;           // of the screen
        std::string text;  // from column 2
    } rows[] = {
        {{"a1.txt", "a2.txt"}, 2, false, 18, "a1.txt  a2.txt" + Blank(63) + "#"},
        {{"a1.txt", "a2.txt"}, 2, false, 19, std::string(78, '#')},
        {{"a1.txt", "a2.txt"}, 2, true, 19, std::string(27, '#') + " +more: the directory is too large to list whole ##"},
        {many, 3001, false, 19, std::string(64, '#') + " +2913 more ##"},  // 11 columns of 8 shown
        {many, 3001, false, 18, "n1007  n1015  n1023  n1031  n1039  n1047  n1055  n1063  n1071  n1079  n1087  #"},
    };
    for (const auto &row : rows) {
        ShowCandidates(row.labels, row.total, row.isCut);
        EXPECT_EQ(Cells(curscr, row.row, 2, 78), row.text) << row.total << " " << row.isCut;
        HideCandidates();
    }
}

// A terminal that cannot address the cursor or clear the screen is refused
// before anything is drawn, as an unknown one is.
TEST(DisplayOpen, RefusesUnfitTerminals)
{
    const struct {
        const char *type;
        DisplayOpenResult result;
    } rows[] = {
        {"dumb", DISPLAY_NO_TERMINAL},
        {"no-such-terminal", DISPLAY_NO_TERMINAL},
        {"vt100", DISPLAY_OPENED},
        {"xterm-256color", DISPLAY_OPENED},
    };
    setenv("LINES", "25", 1);
    setenv("COLUMNS", "80", 1);
    for (const auto &row : rows) {
        FILE *output = tmpfile();
        FILE *input = fopen("/dev/null", "r");
        EXPECT_EQ(InitDisplayOn(row.type, output, input), row.result) << row.type;
        CloseDisplay();
        if (row.result == DISPLAY_NO_TERMINAL) {
            EXPECT_EQ(ftell(output), 0) << row.type << ": something was drawn";
        }
        fclose(output);
        fclose(input);
    }
}

}  // namespace
