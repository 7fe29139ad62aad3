// The line-mode program's grammar, registry, jobs, stock and engine step.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "tests/unit/line/LineFixture.h"

using namespace linemode;

namespace {

const char *const ENGINE_STEP = nullptr;  // a table row that runs one engine step
const std::vector<int32_t> NO_JOBS;
const std::vector<std::string> NO_USERS;

// One command line (or an engine step) and everything it leaves behind.
struct GrammarRow {
    const char *line;
    int32_t stockInk;
    int32_t stockPaper;
    std::vector<std::string> users;
    std::vector<int32_t> jobs;  // owners of the waiting jobs
    PrinterState state;
    std::string output;  // what the line prints on standard output
};

}  // namespace

using LineGrammar = LineFixture;

// The grammar's cases in one session from an empty start: each row is fed
// as the command loop feeds it, and the whole state is compared after it.
TEST_F(LineGrammar, OneSessionRowByRow)
{
    const std::vector<std::string> ANN = {"ann"};
    const std::vector<std::string> ANN_BOB = {"ann", "bob"};
    const std::string LISTING = "user Name : ann \nuser Name : bob \n";
    const int32_t A = ADMINISTRATOR_USER_ID;
    const int W = PRINTER_WAITING, NS = PRINTER_NEED_SUPPLIES, RC = PRINTER_REQUEST_CANCEL;
    const GrammarRow rows[] = {
        // 1. Refill: pair words need a blank before "=", any amount adds.
        {"admin Refill Ink = 100 Paper = 50", 100, 50, NO_USERS, NO_JOBS, W, ""},
        {"refill paper = 5 ink = 1", 101, 55, NO_USERS, NO_JOBS, W, ""},
        {"Refill Ink=100", 101, 55, NO_USERS, NO_JOBS, W, ""},
        {"Refill Ink = -20", 81, 55, NO_USERS, NO_JOBS, W, ""},
        {"Refill Ink = 12abc", 93, 55, NO_USERS, NO_JOBS, W, ""},
        {"Refill Ink =100", 193, 55, NO_USERS, NO_JOBS, W, ""},
        {"Refill Paper = 5 Ink=7 Ink = 3", 196, 60, NO_USERS, NO_JOBS, W, ""},
        {"REFILL INK = 4", 200, 60, NO_USERS, NO_JOBS, W, ""},
        {"admin   Refill Paper = -60", 200, 0, NO_USERS, NO_JOBS, W, ""},
        {"Refill", 200, 0, NO_USERS, NO_JOBS, W, ""},
        {"adminRefill Ink = 1", 200, 0, NO_USERS, NO_JOBS, W, ""},
        {"admin\tRefill Ink = 1", 200, 0, NO_USERS, NO_JOBS, W, ""},
        // 2. Registry: exact names of at most 20 characters, all userID 0.
        {"Add User ann", 200, 0, ANN, NO_JOBS, W, ""},
        {"Add User ann", 200, 0, ANN, NO_JOBS, W, ""},
        {"Add User abcdefghijklmnopqrstu", 200, 0, ANN, NO_JOBS, W, ""},
        {"admin Add User abcdefghijklmnopqrst", 200, 0, {"ann", "abcdefghijklmnopqrst"}, NO_JOBS, W, ""},
        {"Del User abcdefghijklmnopqrst", 200, 0, ANN, NO_JOBS, W, ""},
        {"Add User bob", 200, 0, ANN_BOB, NO_JOBS, W, ""},
        {"Show User List ", 200, 0, ANN_BOB, NO_JOBS, W, LISTING},
        {"Show User List", 200, 0, ANN_BOB, NO_JOBS, W, ""},
        {"admin show user list ", 200, 0, ANN_BOB, NO_JOBS, W, LISTING},
        {"Add User  cy ", 200, 0, {"ann", "bob", "cy "}, NO_JOBS, W, ""},
        {"Del User cy", 200, 0, {"ann", "bob", "cy "}, NO_JOBS, W, ""},
        {"Del User cy ", 200, 0, ANN_BOB, NO_JOBS, W, ""},
        {"Del User zed", 200, 0, ANN_BOB, NO_JOBS, W, ""},
        {"Add User", 200, 0, ANN_BOB, NO_JOBS, W, ""},
        // 3. The administrator's Print and Cancel, after "PRINTER ".
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A}, W, ""},
        {ENGINE_STEP, 200, 0, ANN_BOB, {A}, NS, ""},
        {ENGINE_STEP, 200, 0, ANN_BOB, {A}, NS, ""},
        {"printer Print notes.txt", 200, 0, ANN_BOB, {A, A}, NS, ""},
        {"PRINTER print notes.txt", 200, 0, ANN_BOB, {A, A}, NS, ""},
        {"Print notes.txt", 200, 0, ANN_BOB, {A, A}, NS, ""},
        {"PRINTER Print missing.txt", 200, 0, ANN_BOB, {A, A}, NS, ""},
        {"PRINTER Print notes.txt ", 200, 0, ANN_BOB, {A, A}, NS, ""},
        {"PRINTER Printnotes.txt", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        {"PRINTER  Print notes.txt", 200, 0, ANN_BOB, {A, A, A, A}, NS, ""},
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A, A, A, A, A}, NS, ""},
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A, A, A, A, A}, NS, ""},
        {"PRINTER Cancel", 200, 0, ANN_BOB, {A, A, A, A}, NS, ""},
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A, A, A, A, A}, NS, ""},
        {"PRINTER Cancel All", 200, 0, ANN_BOB, {A, A, A, A}, NS, ""},
        {"PRINTER Cancelled", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        {"PRINTER\tCancel", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        // 4. A registered user's "Cancel All", and nothing else.
        {"ann Print notes.txt", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        {"ann Cancel", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        {"ann cancel all", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        {"zed Cancel All", 200, 0, ANN_BOB, {A, A, A}, NS, ""},
        {"ann Cancel All", 200, 0, ANN_BOB, NO_JOBS, RC, ""},
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A}, RC, ""},
        {ENGINE_STEP, 200, 0, ANN_BOB, {A}, RC, ""},
        {"admin ann Cancel All", 200, 0, ANN_BOB, NO_JOBS, RC, ""},
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A}, RC, ""},
        {"bob  Cancel All", 200, 0, ANN_BOB, NO_JOBS, RC, ""},
        // 5. Lines that are nothing.
        {"hello", 200, 0, ANN_BOB, NO_JOBS, RC, ""},
        {"", 200, 0, ANN_BOB, NO_JOBS, RC, ""},
        // 6. An empty name is registered, and a line that starts with a
        //    blank is then that user's command.
        {"PRINTER Print notes.txt", 200, 0, ANN_BOB, {A}, RC, ""},
        {"Add User ", 200, 0, {"ann", "bob", ""}, {A}, RC, ""},
        {" Cancel All", 200, 0, {"ann", "bob", ""}, NO_JOBS, RC, ""},
        {"Show User List ", 200, 0, {"ann", "bob", ""}, NO_JOBS, RC, LISTING + "user Name :  \n"},
    };
    int rowNumber = 0;
    for (const GrammarRow &row : rows) {
        rowNumber++;
        SCOPED_TRACE("row " + std::to_string(rowNumber) + ": " + (row.line ? row.line : "<engine step>"));
        testing::internal::CaptureStdout();
        if (row.line == ENGINE_STEP)
            RunEngineStep();
        else
            HandleCommandLine(row.line);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), row.output);
        EXPECT_EQ(g_SuppliesData.ink, row.stockInk);
        EXPECT_EQ(g_SuppliesData.paper, row.stockPaper);
        EXPECT_EQ(Users(), row.users);
        EXPECT_EQ(UserIDs(), std::vector<int32_t>(row.users.size(), 0));
        EXPECT_EQ(Jobs(), row.jobs);
        EXPECT_EQ(g_PrinterContext.state, row.state);
        // Nothing in this program touches the printer's own levels.
        EXPECT_EQ(g_PrinterContext.ink, 0u);
        EXPECT_EQ(g_PrinterContext.paper, 0u);
        EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    }
}

TEST(LineKeyword, WordInAnyCaseThenBlank)
{
    EXPECT_TRUE(MatchKeyword("admin x", "admin"));
    EXPECT_TRUE(MatchKeyword("ADMIN x", "admin"));
    EXPECT_TRUE(MatchKeyword("admin ", "admin"));
    EXPECT_TRUE(MatchKeyword("Printer  Print", "PRINTER"));
    EXPECT_FALSE(MatchKeyword("admin", "admin"));
    EXPECT_FALSE(MatchKeyword("admin\tx", "admin"));
    EXPECT_FALSE(MatchKeyword("admin\n", "admin"));
    EXPECT_FALSE(MatchKeyword("admins x", "admin"));
    EXPECT_FALSE(MatchKeyword(" admin x", "admin"));
    EXPECT_FALSE(MatchKeyword("adm", "admin"));
    EXPECT_FALSE(MatchKeyword("", "admin"));
}

// Input pieces as the reads return them, and the commands gathered: only
// whole lines, and never the tail of an over-long one, however it is cut.
TEST(LineInput, WholeLinesFromPieces)
{
    const std::string HEAD(COMMAND_BUFFER_SIZE - 1, 'x');
    const struct {
        const char *name;
        std::vector<std::string> pieces;
        std::vector<std::string> commands;
        bool isSkipping;  // at the end of the pieces
    } rows[] = {
        {"one line", {"Add User ann\n"}, {"Add User ann"}, false},
        {"two lines in one read", {"a b\nc d\n"}, {"a b", "c d"}, false},
        {"a line in two pieces", {"Del User ann", "abel\n"}, {"Del User annabel"}, false},
        {"a byte at a time", {"a", " ", "b", "\n"}, {"a b"}, false},
        {"no line feed yet", {"Show User List "}, {}, false},
        {"an empty line", {"\n"}, {""}, false},
        {"a NUL ends what the command sees", {std::string("ab\0cd\n", 6)}, {"ab"}, false},
        {"2047 bytes and the line feed", {HEAD + "\n", "b\n"}, {HEAD, "b"}, false},
        {"2047 bytes, the line feed later", {HEAD, "\n", "b\n"}, {HEAD, "b"}, false},
        {"the tail of an over-long line", {HEAD + "Add User tail\nb\n"}, {HEAD, "b"}, false},
        {"the tail comes late", {HEAD, "Add User tail", "\nb\n"}, {HEAD, "b"}, false},
        {"the tail has not ended", {HEAD + "Add User", " tail"}, {HEAD}, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        CommandLineReader reader = {};
        std::vector<std::string> commands;
        for (const std::string &piece : row.pieces) {
            const char *position = piece.data();
            while (TakeCommandBytes(&reader, &position, piece.data() + piece.size())) {
                commands.emplace_back(reader.line);
                ClearCommandLine(&reader);
            }
            EXPECT_EQ(position, piece.data() + piece.size());
        }
        EXPECT_EQ(commands, row.commands);
        EXPECT_EQ(reader.isSkipping, row.isSkipping);
    }
}

using LineJobs = LineFixture;

TEST_F(LineJobs, RecordHoldsFileZeroNeeds)
{
    ASSERT_EQ(Printer_AddJob(ADMINISTRATOR_USER_ID, "notes.txt"), 1);
    const PrintJob *job = static_cast<const PrintJob *>(GetFirstNode(&g_JobWaitList)->pData);
    EXPECT_NE(job->pInputFile, nullptr);
    EXPECT_EQ(job->pOutputFile, nullptr);
    EXPECT_EQ(job->userID, -1);
    EXPECT_EQ(job->needInk, 0);
    EXPECT_EQ(job->needPaper, 0);
    EXPECT_EQ(job->printedPages, 0);
}

TEST_F(LineJobs, DeleteTakesOwnersFirst)
{
    ASSERT_EQ(Printer_AddJob(7, "notes.txt"), 1);
    ASSERT_EQ(Printer_AddJob(-1, "notes.txt"), 1);
    ASSERT_EQ(Printer_AddJob(7, "notes.txt"), 1);
    EXPECT_EQ(DeleteJob(-1), 1);
    EXPECT_EQ(Jobs(), (std::vector<int32_t>{7, 7}));
    EXPECT_EQ(DeleteJob(-1), 0);
    EXPECT_EQ(DeleteJob(7), 1);
    EXPECT_EQ(Jobs(), (std::vector<int32_t>{7}));
    EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING);
}

TEST_F(LineJobs, CancelAllEvenWhenEmpty)
{
    CancelAll();
    EXPECT_EQ(g_PrinterContext.state, PRINTER_REQUEST_CANCEL);
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
}

// Only a regular file is printed, and a FIFO without a writer is refused at
// once instead of hanging the program in its open.
TEST_F(LineJobs, OnlyARegularFileIsAdmitted)
{
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    std::filesystem::create_directory("folder");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Printer_AddJob(-1, "fifo"), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(Printer_AddJob(-1, "folder"), 0);
    EXPECT_EQ(Printer_AddJob(-1, "missing.txt"), 0);
    EXPECT_EQ(Printer_AddJob(-1, ""), 0);
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
    WriteFile("empty.txt", "");
    EXPECT_EQ(Printer_AddJob(-1, "empty.txt"), 1);
}

// A job's file is closed when the job leaves the wait list, or every print
// would fail once the open-file limit was reached. With the limit lowered to
// 64, both cancel commands run many more cycles than that.
TEST_F(LineJobs, CyclesKeepDescriptors)
{
    struct rlimit original;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
    struct rlimit lowered = original;
    lowered.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    int admitted = 0;
    for (int cycle = 0; cycle < 300; cycle++) {
        HandleCommandLine("PRINTER Print notes.txt");
        admitted += GetNodeCount(&g_JobWaitList);
        HandleCommandLine(cycle % 2 == 0 ? "PRINTER Cancel" : "PRINTER Cancel All");
    }
    AddUser("ann");
    for (int cycle = 0; cycle < 300; cycle++) {
        HandleCommandLine("PRINTER Print notes.txt");
        admitted += GetNodeCount(&g_JobWaitList);
        HandleCommandLine("ann Cancel All");
    }
    HandleCommandLine("PRINTER Print notes.txt");
    EXPECT_EQ(Jobs(), (std::vector<int32_t>{-1}));
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &original), 0);
    EXPECT_EQ(admitted, 600);
}

using LineEngine = LineFixture;

TEST_F(LineEngine, StepClassifiesJobOnce)
{
    PrinterEngineController();
    EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING) << "no job, no change";

    // Needs of 0 are not strictly below an empty printer's levels.
    ASSERT_EQ(Printer_AddJob(-1, "notes.txt"), 1);
    PrinterEngineController();
    EXPECT_EQ(g_PrinterContext.state, PRINTER_NEED_SUPPLIES);
    g_PrinterContext.ink = 1;
    g_PrinterContext.paper = 1;
    PrinterEngineController();
    EXPECT_EQ(g_PrinterContext.state, PRINTER_NEED_SUPPLIES) << "no way out of 2";
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 1) << "the job stays queued";

    const struct {
        uint32_t ink, paper;
        PrinterState expected;
    } levels[] = {
        {1, 1, PRINTER_PRINTING},
        {0, 1, PRINTER_NEED_SUPPLIES},
        {1, 0, PRINTER_NEED_SUPPLIES},
        {UINT32_MAX, UINT32_MAX, PRINTER_PRINTING},
    };
    for (const auto &level : levels) {
        g_PrinterContext = {PRINTER_WAITING, nullptr, level.ink, level.paper};
        PrinterEngineController();
        EXPECT_EQ(g_PrinterContext.state, level.expected) << level.ink << " ink, " << level.paper << " paper";
        PrinterEngineController();
        EXPECT_EQ(g_PrinterContext.state, level.expected) << "stays";
    }
}

using LineStock = LineFixture;

// An amount or a stock beyond 32 bits would overflow: such a pair changes
// nothing, and the pairs after it still count.
TEST_F(LineStock, PairPast32BitsIsNoOp)
{
    HandleCommandLine("Refill Ink = 99999999999 Paper = 7");
    EXPECT_EQ(g_SuppliesData.ink, 0);
    EXPECT_EQ(g_SuppliesData.paper, 7);
    HandleCommandLine("Refill Ink = 2147483647 Paper = -2147483648 Ink = 1 Paper = -8 Paper = 3");
    EXPECT_EQ(g_SuppliesData.ink, INT32_MAX);
    EXPECT_EQ(g_SuppliesData.paper, INT32_MIN + 10);
    EXPECT_EQ(RefilInk(1), INT32_MAX);
    EXPECT_EQ(RefilInk(-1), INT32_MAX - 1);
    EXPECT_EQ(RefillPaper(-11), INT32_MIN + 10);
}
