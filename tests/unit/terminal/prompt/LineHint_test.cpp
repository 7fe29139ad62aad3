// The hint row's words for each kind of line, and the hint held to what
// the command then does, over generated lines and records.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "terminal/loop/FileNames.h"
#include "terminal/prompt/LineHint.h"
#include "terminal/prompt/Prompt.h"
#include "terminal/programs/Programs.h"
#include "tests/support/ForecastCheck.h"
#include "tests/support/PrinterScreen.h"

namespace {

struct HintTest : PrinterScreen {
    void SetUp() override
    {
        PrinterScreen::SetUp();
        std::string notes;
        for (int i = 1; i <= 25; i++)
            notes += "line " + std::to_string(i) + "\n";  // 26 reads, 141 ink
        WriteFile("notes.txt", notes);
        std::string big;
        for (int i = 0; i < 110; i++)
            big += std::string(30, 'x') + "\n";  // 3300 ink: more than the printer holds
        WriteFile("big.txt", big);
        WriteFile("empty.txt", "");
        mkdir("docs", 0755);
        mkfifo("fifo", 0644);
    }
};

// The words say what Enter will do, naming the user, the file and the
// numbers; or why it will do nothing or be refused.
TEST_F(HintTest, ExplainsEveryKind)
{
    const struct {
        const char *line;
        int waitingJobs;  // ann's jobs queued first
        uint32_t ink, paper;
        const char *hint;
    } rows[] = {
        {"", 0, 3000, 100, ""},
        {"ann Print notes.txt", 0, 3000, 100, "ann: notes.txt, 3 sheets, 141 ink"},
        {"carl Print notes.txt", 0, 3000, 100, "carl is not a registered user"},
        {"ann Print notes.tx", 0, 3000, 100, "refused: no file notes.tx; did you mean notes.txt?"},
        {"ann Print docs", 0, 3000, 100, "refused: docs is a directory"},
        {"ann Print fifo", 0, 3000, 100, "refused: fifo is not a regular file"},
        {"ann Print notes.txt ", 0, 3000, 100,
         "refused: no file 'notes.txt ': its blanks at the end are part of the name"},
        {"ann Print", 0, 3000, 100, "refused: Print needs a file name"},
        {"ann Print big.txt", 0, 3000, 100, "refused: needs 3,300 ink; the printer holds at most 3000"},
        {"ann Print notes.txt", 0, 100, 2, "refused: needs 141 ink, 3 sheets; the printer has 100 and 2"},
        {"ann Print notes.txt", 5, 3000, 100, "refused: the wait list is full, 5 jobs"},
        {"ann Cancel", 0, 3000, 100, "refused: ann has no job to cancel"},
        {"ann Cancel", 2, 3000, 100, "removes ann's oldest waiting job, of 2"},
        {"Printer Cancel All", 3, 3000, 100, "removes 3 waiting jobs"},
        {"admin Refill Ink=500 Paper=50", 0, 0, 0, "adds 500 ink and 50 sheets to the stock"},
        {"admin Refill Ink=5 Paper=-1", 0, 0, 0,
         "adds 5 ink to the stock, then refused at Paper=-1: no amount may be negative"},
        {"admin Refill Toner=5 Ink=3", 0, 0, 0, "adds 3 ink to the stock; skips Toner=5"},
        {"admin Refill", 0, 0, 0, "nothing happens: Refill takes Ink=N and Paper=N"},
        {"admin Add User abcdefghijklmnopqrstu", 0, 0, 0, "refused: a name has at most 20 bytes, this one 21"},
        {"admin Add User ann", 0, 0, 0, "refused: ann is registered already"},
        {"admin Add User bob", 0, 0, 0, "registers bob as user 1"},
        {"admin Del User bob", 0, 0, 0, "refused: nobody is registered as bob"},
        {"admin Show User List", 0, 0, 0, "shows the 1 user for two seconds"},
        {"admin Add Usr bob", 0, 0, 0, "nothing happens; did you mean admin Add User?"},
        {"admin Frobnicate", 0, 0, 0, "nothing happens: admin takes Refill, Add User, Del User, Show User List"},
        {"Printer Cancel", 0, 0, 0, "nothing happens: after Printer only Cancel All acts; did you mean Printer Cancel All?"},
        {"ann Pront notes.txt", 0, 0, 0, "refused: ann can Print FILE or Cancel; did you mean Print?"},
        {"ann", 0, 0, 0, "nothing happens yet: ann needs Print FILE or Cancel"},
        {"admn Add User bob", 0, 0, 0, "admn is not a registered user"},
        {"help", 0, 0, 0, "opens the help view"},
        {"quit", 0, 0, 0, "leaves the program"},
        {"quit", 2, 0, 0, "2 jobs unfinished: asks again before leaving"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.line);
        ResetRecords();
        AddUser("ann");
        SetPrinterLevels(3000, 100);
        for (int i = 0; i < row.waitingJobs; i++)
            ASSERT_EQ(PrinterCommandParser(0, "Print empty.txt"), 1);
        SetPrinterLevels(row.ink, row.paper);
        static Prompt prompt;
        Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
        LineEditor_SetText(&prompt.editor, row.line);
        EXPECT_EQ(Prompt_Hint(&prompt), row.hint);
    }
}

// Random records, then random lines of every kind in every grammar: each
// line's forecast must be what the command then does.
TEST_F(HintTest, ForecastHoldsOnRandomLines)
{
    const char *const names[] = {"ann", "bob", "carl", "ann lee", "abcdefghijklmnopqrstu", ""};
    const char *const files[] = {"notes.txt", "big.txt", "empty.txt", "docs", "fifo", "missing.txt", "notes.txt ", ""};
    const char *const adminLines[] = {
        "Refill Ink=5", "Refill Ink=5 Paper=-1", "Refill Paper=3 Ink=2", "Refill Toner=5 Ink=3", "Refill Ink=0",
        "Refill Ink=99999999999", "Refill", "Show User List", "Add Usr x", "", "Print notes.txt",
    };
    const char *const printerTexts[] = {"Cancel All", "Cancel", "cancel all", "Print notes.txt", ""};
    const char *const verbs[] = {"Print ", "Cancel", "Cancel All", "Pront ", "print ", ""};
    const BuildSettings *const programs[] = {&QUILLBAY_SETTINGS, &QUILLBAY_ECHO_SETTINGS, &QUILLBAY_THREAD_SETTINGS};
    std::mt19937 random(27);
    auto pick = [&random](const auto &choices) { return std::string(choices[random() % std::size(choices)]); };
    for (int round = 0; round < 60; round++) {
        ResetRecords();
        g_BuildSettings = *programs[round % 3];
        for (int i = random() % 4; i > 0; i--)
            AddUser(names[random() % 4]);
        SetPrinterLevels(3000, 100);
        for (int i = random() % 6; i > 0; i--)
            PrinterCommandParser(random() % 3, ("Print " + pick(files)).c_str());
        for (int i = random() % 3; i > 0; i--)
            Tick();
        SetPrinterLevels(random() % 2 ? 3000 : random() % 200, random() % 2 ? 100 : random() % 5);
        g_SuppliesData = {static_cast<int32_t>(random() % 3 ? 10 : INT32_MAX - 3), static_cast<int32_t>(random() % 7)};
        for (int line = 0; line < 40; line++) {
            std::string text;
            switch (random() % 4) {
            case 0: text = (random() % 2 ? "admin " : "ADMIN") + pick(adminLines); break;
            case 1: text = pick(random() % 2 ? std::vector<std::string>{"Add User ", "Del User "}
                                             : std::vector<std::string>{"admin Add User ", "admin Del User "}) +
                           pick(names); break;
            case 2: text = (random() % 2 ? "Printer " : "printer") + pick(printerTexts); break;
            default: text = pick(names) + " " + pick(verbs) + pick(files); break;
            }
            std::string difference = CheckForecastHolds(text.c_str(), &FILE_SYSTEM_NAMES);
            EXPECT_EQ(difference, "") << "round " << round;
        }
    }
}

}  // namespace
