// The same typed lines in each program's command language: quillbay speaks
// the current grammar, quillbay-greet and quillbay-echo the earlier one,
// quillbay-thread the earliest. A column per grammar where results differ.
#include <gtest/gtest.h>

#include "terminal/loop/CommandSelector.h"
#include "tests/support/PrinterScreen.h"

namespace {

struct Outcome {
    int32_t ink, paper;  // stock afterwards
    const char *error;   // error row after "ERROR:"; "" for none
    int32_t users;       // registered users afterwards (ann is registered before)
    bool showsUserList = false;
};

struct VariantCase {
    const char *line;  // as typed at the prompt
    Outcome current, earlier, earliest;
};

const Outcome NOTHING = {0, 0, "", 1};

const VariantCase VARIANT_CASES[] = {
    {"admin Refill Ink=5 Paper=2", {5, 2, "", 1}, {5, 2, "", 1}, {5, 2, "", 1}},
    {"Refill Ink=5", {0, 0, "'Refill' is not registed user.", 1}, {5, 0, "", 1}, {5, 0, "", 1}},
    {"admin Refill Ink=-3 Paper=2", {0, 0, "Invalid Input ink Value", 1}, {0, 0, "Invalid Input ink Value", 1},
     {-3, 2, "", 1}},
    {"admin Refill Paper=1 Ink=4294967296", {0, 1, "Invalid Input ink Value", 1},
     {0, 1, "Invalid Input ink Value", 1}, {0, 1, "", 1}},
    {"admin Add User bob", {0, 0, "", 2}, {0, 0, "", 2}, {0, 0, "", 2}},
    {"Add User bob", {0, 0, "'Add' is not registed user.", 1}, {0, 0, "", 2}, {0, 0, "", 2}},
    {"admin Add User", {0, 0, "Incorrect UserName", 1}, NOTHING, NOTHING},
    {"admin Del User", {0, 0, "Incorrect UserName", 1}, {0, 0, " is not registed.", 1},
     {0, 0, " is not registed.", 1}},
    {"admin Del User ann", {0, 0, "", 0}, {0, 0, "", 0}, {0, 0, "", 0}},
    {"admin ann Print missing.txt", NOTHING, {0, 0, "request file fopen failed.", 1},
     {0, 0, "request file fopen failed.", 1}},
    {" ann Cancel", {0, 0, "UID : 0 Job not found.", 1}, {0, 0, "'' is not registed user.", 1},
     {0, 0, "'' is not registed user.", 1}},
    {"ann Hello", {0, 0, "not supported command", 1}, NOTHING, NOTHING},
    {"Show User List", {0, 0, "'Show' is not registed user.", 1}, {0, 0, "", 1, true}, {0, 0, "", 1, true}},
    {"admin Show User List", {0, 0, "", 1, true}, {0, 0, "", 1, true}, {0, 0, "", 1, true}},
    {"zed Print missing.txt", {0, 0, "'zed' is not registed user.", 1}, {0, 0, "'zed' is not registed user.", 1},
     {0, 0, "'zed' is not registed user.", 1}},
};

class GrammarTest : public PrinterScreen {
protected:
    void Check(const VariantCase &row, const BuildSettings &program, const Outcome &expected)
    {
        ResetRecords();
        g_BuildSettings = program;
        AddUser("ann");
        ClearErrorRow();
        g_userListDisplayCnt = 0;
        CommandSelector(row.line);
        SCOPED_TRACE(std::string("'") + row.line + "' in " + program.programName);
        EXPECT_EQ(g_SuppliesData.ink, expected.ink);
        EXPECT_EQ(g_SuppliesData.paper, expected.paper);
        EXPECT_EQ(ErrorRow(), *expected.error ? std::string("ERROR:") + expected.error : "");
        EXPECT_EQ(GetNodeCount(&g_UserInfoList), expected.users);
        EXPECT_EQ(g_userListDisplayCnt == 2, expected.showsUserList);
    }
};

TEST_F(GrammarTest, EachProgramItsOwnWay)
{
    for (const VariantCase &row : VARIANT_CASES) {
        Check(row, QUILLBAY_SETTINGS, row.current);
        Check(row, QUILLBAY_GREET_SETTINGS, row.earlier);
        Check(row, QUILLBAY_ECHO_SETTINGS, row.earlier);
        Check(row, QUILLBAY_THREAD_SETTINGS, row.earliest);
    }
}

TEST_F(GrammarTest, StockStaysUnsigned)
{
    // The earliest grammar lets a negative amount reach the stock; the
    // engine treats such a stock as empty and never leaves "Refilling...".
    g_BuildSettings = QUILLBAY_THREAD_SETTINGS;
    CommandSelector("admin Refill Ink=-500 Paper=-5");
    Tick(3);
    EXPECT_EQ(g_PrinterContext.ink, 0u);
    EXPECT_EQ(g_PrinterContext.paper, 0u);
    EXPECT_EQ(Status(), "Printer Status : Waiting... | INK : 0 | PAPER : 0");
    CommandSelector("admin Refill Ink=600 Paper=10");  // stock 100 ink, 5 sheets
    Tick(3);
    EXPECT_EQ(g_PrinterContext.ink, 100u);
    EXPECT_EQ(g_PrinterContext.paper, 5u);
    EXPECT_EQ(Status(), "Printer Status : Waiting... | INK : 100 | PAPER : 5");
}

}  // namespace
