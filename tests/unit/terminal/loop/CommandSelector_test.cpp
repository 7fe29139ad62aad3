#include <gtest/gtest.h>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/loop/CommandSelector.h"
#include "tests/support/HeadlessScreen.h"

namespace {

using SelectorTest = HeadlessScreen;

// Routing shows in what each parser does with the text it is given: the
// printer parser takes "Cancel All" from the administrator, the
// administrator parser registers users and names unknown users.
TEST_F(SelectorTest, RoutesByPrefixAsTyped)
{
    const struct {
        const char *line;
        PrinterState state;  // after the line
        const char *errorRow;  // from column 2
        int users;
    } rows[] = {
        {"", PRINTER_WAITING, "", 0},
        {"Printer", PRINTER_WAITING, "", 0},
        {"Printer Cancel All", PRINTER_REQUEST_CANCEL, "", 0},
        {"printer   Cancel All", PRINTER_REQUEST_CANCEL, "", 0},
        {"PRINTERcancel all", PRINTER_REQUEST_CANCEL, "", 0},
        // A longer word is cut after its seventh character.
        {"Printers Cancel All", PRINTER_WAITING, "", 0},
        // Leading blanks fail the printer test; the rest reaches the
        // administrator parser with the blanks removed.
        {"  Printer Cancel All", PRINTER_WAITING, "ERROR:'Printer' is not registed user.", 0},
        // A tab is not trimmed (curses shows it up to the next tab stop).
        {"\tann Cancel", PRINTER_WAITING, "ERROR:'       ann' is not registed user.", 0},
        {"admin Add User ann", PRINTER_WAITING, "", 1},
        {"ADMIN add user ann", PRINTER_WAITING, "", 1},
        {"  admin Add User bob", PRINTER_WAITING, "", 1},
        {"admin", PRINTER_WAITING, "", 0},
    };
    for (const auto &row : rows) {
        ResetRecords();
        werase(g_pCommandWindow);
        CommandSelector(row.line);
        EXPECT_EQ(g_PrinterContext.state, row.state) << "'" << row.line << "'";
        EXPECT_EQ(GetNodeCount(&g_UserInfoList), row.users) << "'" << row.line << "'";
        std::string error = row.errorRow;
        EXPECT_EQ(Cells(g_pCommandWindow, 1, 2, static_cast<int>(error.size()) + 1), error + " ")
            << "'" << row.line << "'";
    }
}

}  // namespace
