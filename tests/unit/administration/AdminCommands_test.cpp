#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/StatusWindow.h"
#include "tests/support/PrinterScreen.h"

namespace {

// One command line, from fresh records, as it reaches the parser (for the
// earlier grammars the selector has already removed "admin").
struct AdminCase {
    const char *line;
    int32_t ink, paper;                     // stock afterwards
    const char *users;                      // "name:id" in list order
    const char *error;                      // error row text after "ERROR:"; "" for none
    std::vector<const char *> setup = {};   // lines run before, their messages cleared
    const char *jobs = "";                  // user ids in the wait list
    bool showsUserList = false;             // redrawn with the user names
    GrammarGeneration grammar = GRAMMAR_CURRENT;
};

const std::string NAME_20 = "abcdefghijklmnopqrst";
const std::string NAME_21 = NAME_20 + "u";
const std::string ADD_20 = "admin Add User " + NAME_20;
const std::string ADD_21 = "admin Add User " + NAME_21;
const std::string WORD_21_LINE = NAME_21 + " Print report.txt";

const AdminCase ADMIN_CASES[] = {
    // Refill pairs.
    {"admin Refill Ink=500 Paper=20", 500, 20, "", ""},
    {"ADMIN refill ink=5", 5, 0, "", ""},
    {"admin Refill Paper=2 Ink=3", 3, 2, "", ""},
    {"admin Refill Ink = 5 Paper = 3", 5, 3, "", ""},
    {"admin Refill Ink=10 Paper=-1", 10, 0, "", "Invalid Input paper Value"},
    {"admin Refill Ink=-1 Paper=10", 0, 0, "", "Invalid Input ink Value"},
    {"admin Refill Ink=abc", 0, 0, "", ""},
    {"admin Refill Ink=", 0, 0, "", ""},
    {"admin Refill Inkjet=3", 3, 0, "", ""},
    {"admin Refill papers=2", 0, 2, "", ""},
    {"admin Refill Toner=5 Ink=3", 3, 0, "", ""},
    {"admin Refill Ink 5 Paper=3", 3, 0, "", ""},
    {"admin Refill Ink=5,Paper=3", 5, 0, "", ""},
    {"admin Refill Ink= Paper=3", 0, 0, "", ""},
    {"admin Refill Ink=+7 Paper=  08x", 7, 8, "", ""},
    {"admin Refill", 0, 0, "", ""},
    {"adminRefill Ink=1", 1, 0, "", ""},
    // Refill amounts beyond 32 bits, or carrying the stock beyond them.
    {"admin Refill Ink=2147483647", 2147483647, 0, "", ""},
    {"admin Refill Paper=4 Ink=2147483648 Paper=5", 0, 4, "", "Invalid Input ink Value"},
    {"admin Refill Ink=-2147483649", 0, 0, "", "Invalid Input ink Value"},
    {"admin Refill Paper=99999999999999999999", 0, 0, "", "Invalid Input paper Value"},
    {"admin Refill Paper=1 Ink=648 Paper=9", 2147483000, 1, "", "Invalid Input ink Value",
     {"admin Refill Ink=2147483000"}},
    {"admin Refill Paper=1", 0, 2147483647, "", "Invalid Input paper Value", {"admin Refill Paper=2147483647"}},
    // Add User, Del User.
    {"admin Add User ann", 0, 0, "ann:0", ""},
    {"admin add user ann", 0, 0, "ann:0", ""},
    {"admin Add Userann", 0, 0, "ann:0", ""},
    {"admin Add User cy", 0, 0, "ann:0 bob:1 cy:2", "", {"admin Add User ann", "admin Add User bob"}},
    {"admin Add User", 0, 0, "", "Incorrect UserName"},
    {"admin Add User   ", 0, 0, "", "Incorrect UserName"},
    {ADD_21.c_str(), 0, 0, "", "Incorrect UserName"},
    {ADD_20.c_str(), 0, 0, "abcdefghijklmnopqrst:0", ""},
    {"admin Add User ann lee ", 0, 0, "ann lee :0", ""},
    {"admin Add User ann", 0, 0, "ann:0", "ann is Already registed.", {"admin Add User ann"}},
    {"admin Add User bob", 0, 0, "ann:0 bob:1", "", {"admin Add User ann", "admin Add User ann"}},
    {"admin Add User Bob", 0, 0, "bob:0 Bob:1", "", {"admin Add User bob"}},
    {"admin Add User bob", 0, 0, "ann:0 dee:2 bob:3", "",
     {"admin Add User ann", "admin Add User bob", "admin Del User bob", "admin Add User dee"}},
    {"admin Del User ann", 0, 0, "", "", {"admin Add User ann"}},
    {"admin Del User zed", 0, 0, "", "zed is not registed."},
    {"admin Del User", 0, 0, "", "Incorrect UserName"},
    // Show User List and the rest.
    {"admin Show User List", 0, 0, "ann:0", "", {"admin Add User ann"}, "", true},
    {"admin show user list now", 0, 0, "ann:0", "", {"admin Add User ann"}, "", true},
    {"admin Print report.txt", 0, 0, "", ""},
    {"admin", 0, 0, "", ""},
    // A registered user's command line.
    {"ann Print report.txt", 0, 0, "ann:0", "", {"admin Add User ann"}, "0"},
    {"bob    Cancel", 0, 0, "ann:0 bob:1", "UID : 1 Job not found.", {"admin Add User ann", "admin Add User bob"}},
    {"ann Hello", 0, 0, "ann:0", "not supported command", {"admin Add User ann"}},
    {"Ann Print report.txt", 0, 0, "ann:0", "'Ann' is not registed user.", {"admin Add User ann"}},
    {"ann", 0, 0, "ann:0", "", {"admin Add User ann"}},
    {WORD_21_LINE.c_str(), 0, 0, "", ""},
    {"administrator Print report.txt", 0, 0, "administrator:0", "", {"admin Add User administrator"}},
    {"ann lee Print report.txt", 0, 0, "ann lee:0", "'ann' is not registed user.", {"admin Add User ann lee"}},
    // The earlier grammars.
    {"Refill Ink=5", 5, 0, "", "", {}, "", false, GRAMMAR_EARLIER},
    {"Refill Ink=-3", 0, 0, "", "Invalid Input ink Value", {}, "", false, GRAMMAR_EARLIER},
    {"Refill Ink=-3 Paper=2", -3, 2, "", "", {}, "", false, GRAMMAR_EARLIEST},
    {"Refill Paper=2 Ink=2147483648 Paper=3", 0, 2, "", "", {}, "", false, GRAMMAR_EARLIEST},
    {"Add User", 0, 0, "", "", {}, "", false, GRAMMAR_EARLIER},
    {ADD_21.c_str() + 6, 0, 0, "", "", {}, "", false, GRAMMAR_EARLIER},
    {"Del User", 0, 0, "", " is not registed.", {}, "", false, GRAMMAR_EARLIER},
    {"Del User   ", 0, 0, "", " is not registed.", {}, "", false, GRAMMAR_EARLIER},
    {"Show User List", 0, 0, "ann:0", "", {"Add User ann"}, "", true, GRAMMAR_EARLIER},
    {"ann Print report.txt", 0, 0, "ann:0", "", {"Add User ann"}, "0", false, GRAMMAR_EARLIER},
    {"ann Hello", 0, 0, "ann:0", "", {"Add User ann"}, "", false, GRAMMAR_EARLIER},
    {" ann Print report.txt", 0, 0, "ann:0", "'' is not registed user.", {"Add User ann"}, "", false, GRAMMAR_EARLIER},
};

class AdminCommands : public PrinterScreen {};

std::string Users()
{
    std::string text;
    for (const UserInfo *user : ListRecords<UserInfo>(&g_UserInfoList))
        text += (text.empty() ? "" : " ") + std::string(user->userName) + ":" + std::to_string(user->userID);
    return text;
}

std::string JobOwners(const std::vector<WaitingJob> &jobs)
{
    std::string text;
    for (const WaitingJob &job : jobs)
        text += (text.empty() ? "" : " ") + std::to_string(job.userID);
    return text;
}

TEST_F(AdminCommands, EffectsAndMessages)
{
    WriteFile("report.txt", "report\n");
    for (const AdminCase &c : ADMIN_CASES) {
        SCOPED_TRACE(std::string("line \"") + c.line + "\", grammar " + std::to_string(c.grammar));
        ResetRecords();
        SetPrinterLevels(3000, 100);
        g_BuildSettings = ProgramOfGrammar(c.grammar);
        for (const char *line : c.setup)
            AdminCommandParser(line);
        ClearErrorRow();
        g_userListDisplayCnt = 0;

        AdminCommandParser(c.line);

        EXPECT_EQ(g_SuppliesData.ink, c.ink);
        EXPECT_EQ(g_SuppliesData.paper, c.paper);
        EXPECT_EQ(Users(), c.users);
        EXPECT_EQ(ErrorRow(), *c.error ? std::string("ERROR:") + c.error : "");
        EXPECT_EQ(JobOwners(WaitingJobs()), c.jobs);
        EXPECT_EQ(g_userListDisplayCnt == 2, c.showsUserList);
        if (c.showsUserList) {
            EXPECT_EQ(PrinterRow(15), "user Name : ann");
        }
    }
}

}  // namespace
