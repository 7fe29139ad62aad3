#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "terminal/loop/KeyInput.h"
#include "terminal/prompt/Prompt.h"
#include "tests/support/PrinterScreen.h"

namespace {

std::string Lines(int count, int width, bool isLastEnded = true)
{
    std::string text;
    for (int i = 0; i < count; i++) {
        text += std::string(width, static_cast<char>('a' + i % 26));
        if (i + 1 < count || isLastEnded)
            text += '\n';
    }
    return text;
}

class Admission : public PrinterScreen {
protected:
    void SetUp() override
    {
        PrinterScreen::SetUp();
        SetPrinterLevels(3000, 100);
    }
};

// ---------------------------------------------------------------- measuring

struct NeedCase {
    const char *name;
    std::string content;
    int32_t needInk;
    int32_t needPaper;
};

TEST_F(Admission, MeasuresInkAndSheets)
{
    const NeedCase cases[] = {
        {"empty file: one read, one sheet", "", 0, 1},
        {"8 ended lines: 9 reads", Lines(8, 20), 160, 1},
        {"9 ended lines: 10 reads", Lines(9, 20), 180, 2},
        {"10 ended lines", Lines(10, 20), 200, 2},
        {"9 lines, last not ended: 9 reads", Lines(9, 20, false), 180, 1},
        {"10 lines, last not ended: 10 reads", Lines(10, 20, false), 200, 2},
        {"25 ended lines", Lines(25, 20), 500, 3},
        {"40 letters count 30", std::string(40, 'x') + "\n", 30, 1},
        {"29 letters count 29", std::string(29, 'x') + "\n", 29, 1},
        {"white space only", " \t\r\n\n  \n", 0, 1},
        {"bytes from 0x80 count", "\xea\xb0\x80 \xea\xb0\x81\n", 6, 1},
    };
    for (const NeedCase &c : cases) {
        SCOPED_TRACE(c.name);
        ResetRecords();
        SetPrinterLevels(3000, 100);
        WriteFile("job.txt", c.content);
        EXPECT_EQ(PrinterCommandParser(0, "Print job.txt"), 1);
        EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{0, c.needInk, c.needPaper}}));
    }
}

// ---------------------------------------------------------------- refusals

struct RefusalCase {
    const char *name;
    uint32_t printerInk, printerPaper;
    int32_t userID;
    const char *text;
    const char *message;  // "" when nothing is shown
    GrammarGeneration grammar = GRAMMAR_CURRENT;
};

TEST_F(Admission, RefusalsLeaveNothingOpen)
{
    WriteFile("empty.txt", "");
    WriteFile("long.txt", Lines(25, 20));
    WriteFile("a.txt", "a\n");
    ASSERT_EQ(mkdir("folder", 0755), 0);
    ASSERT_EQ(mkfifo("pipe", 0644), 0);
    const RefusalCase cases[] = {
        {"fresh printer refuses even an empty file", 0, 0, 0, "Print empty.txt",
         "'Request Job need more supplies. needInk = 0, needPaper=1"},
        {"too little ink", 499, 100, 0, "Print long.txt", "'Request Job need more supplies. needInk = 500, needPaper=3"},
        {"too little paper", 3000, 2, 0, "Print long.txt", "'Request Job need more supplies. needInk = 500, needPaper=3"},
        {"missing file", 3000, 100, 0, "Print missing.txt", "request file fopen failed."},
        {"no file name", 3000, 100, 0, "Print", "request file fopen failed."},
        {"trailing blanks belong to the name", 3000, 100, 0, "Print a.txt  ", "request file fopen failed."},
        {"a directory", 3000, 100, 0, "Print folder", "request file fopen failed."},
        {"a FIFO without a writer", 3000, 100, 0, "Print pipe", "request file fopen failed."},
        {"a device that never ends", 3000, 100, 0, "Print /dev/zero", "request file fopen failed."},
        {"no printer command", 3000, 100, 0, "Hello", "not supported command"},
        {"no printer command, earlier grammar", 3000, 100, 0, "Hello", "", GRAMMAR_EARLIER},
        {"cancel with no job", 3000, 100, 7, "Cancel", "UID : 7 Job not found."},
        {"administrator's plain Cancel", 3000, 100, -1, "Cancel", ""},
        {"administrator cannot print", 3000, 100, -1, "Print a.txt", ""},
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.name);
        g_BuildSettings = ProgramOfGrammar(c.grammar);
        SetPrinterLevels(c.printerInk, c.printerPaper);
        ClearErrorRow();
        int descriptors = OpenDescriptors();
        EXPECT_EQ(PrinterCommandParser(c.userID, c.text), 0);
        EXPECT_EQ(ErrorRow(), std::string(*c.message ? "ERROR:" : "") + c.message);
        EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
        EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING);
        EXPECT_EQ(OpenDescriptors(), descriptors);
    }
}

TEST_F(Admission, SixthJobFindsListFull)
{
    WriteFile("a.txt", "a\n");
    for (int i = 0; i < MAX_WAIT_JOBS; i++)
        ASSERT_EQ(PrinterCommandParser(0, "Print a.txt"), 1);
    int descriptors = OpenDescriptors();
    EXPECT_EQ(PrinterCommandParser(0, "Print missing.txt"), 0);
    EXPECT_EQ(ErrorRow(), "ERROR:JOB WAIT LIST FULL.");
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), MAX_WAIT_JOBS);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(Admission, KeywordGluedAnyCase)
{
    WriteFile("a.txt", "a\n");
    WriteFile("my file.txt", "ab\n");
    const char *lines[] = {"Printa.txt", "print a.txt", "PRINT    a.txt", "pRiNt my file.txt"};
    for (const char *line : lines)
        EXPECT_EQ(PrinterCommandParser(3, line), 1) << line;
    EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{3, 1, 1}, {3, 1, 1}, {3, 1, 1}, {3, 2, 1}}));
    EXPECT_EQ(ErrorRow(), "");
}

TEST_F(Admission, JobsAgainstPrinterAlone)
{
    WriteFile("big.txt", Lines(100, 20));  // 2000 ink, 101 reads
    EXPECT_EQ(PrinterCommandParser(0, "Print big.txt"), 1);
    EXPECT_EQ(PrinterCommandParser(1, "Print big.txt"), 1);
    EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{0, 2000, 11}, {1, 2000, 11}}));
}

// ---------------------------------------------------------------- long measuring

struct LongMeasureCase {
    const char *name;
    bool isStepBetween;     // an engine step runs between two slices
    bool typesEscape;       // Esc is typed during the measuring, then "abc"
    const char *message;
    uint32_t printerInkAfter;
    const char *lineAfter;  // what the next prompt reads
};

// A print command whose file takes more than one slice only starts its
// admission; the caller runs the slices as the terminal's loop does, with
// an engine step or the look for Esc between them. The needs are checked
// against the levels at the end, Esc abandons, other keys stay for the
// prompt, and a short file is still admitted at once.
TEST_F(Admission, LongMeasureEscAbandons)
{
    WriteFile("big.txt", "");
    std::filesystem::resize_file("big.txt", uint64_t{12} << 20);  // sparse: 6148 reads of zero bytes
    WriteFile("a.txt", "a\n");
    const LongMeasureCase cases[] = {
        {"the step refills first", true, false, "'Request Job need more supplies. needInk = 0, needPaper=615", 100, ""},
        {"no step between", false, false, "'Request Job need more supplies. needInk = 0, needPaper=615", 0, ""},
        {"Esc abandons, keys stay", false, true, "", 0, "abc"},
    };
    int keys[2];
    ASSERT_EQ(pipe(keys), 0);
    static KeyInput input;
    KeyInput_Init(&input, keys[0]);
    static Prompt prompt;
    for (const LongMeasureCase &c : cases) {
        SCOPED_TRACE(c.name);
        ResetRecords();
        Printer_SetSlicedAdmission(true);
        SetPrinterLevels(0, 0);
        g_SuppliesData = {3000, 100};
        ClearErrorRow();
        Prompt_Init(&prompt, nullptr);
        if (c.typesEscape) {
            // An Esc is Escape once nothing came after it for the escape delay.
            ASSERT_EQ(write(keys[1], "abc\x1b", 4), 4);
            KeyInput_TakeEscapeKey(&input);
            usleep((ESCAPE_DELAY_MS + 1) * 1000);
        }
        int descriptors = OpenDescriptors();
        EXPECT_EQ(PrinterCommandParser(0, "Print big.txt"), 1);
        ASSERT_TRUE(Printer_IsAdmitting());
        bool isMeasured = false, isAbandoned = false;
        for (int slice = 0; !isMeasured && !isAbandoned; slice++) {
            isMeasured = Printer_AdmitNextSlice();
            if (c.isStepBetween && slice == 0)
                Tick();
            isAbandoned = KeyInput_TakeEscapeKey(&input);
        }
        if (isAbandoned)
            Printer_AbandonAdmission();
        else
            EXPECT_EQ(Printer_FinishAdmission(), 0);
        EXPECT_FALSE(Printer_IsAdmitting());
        EXPECT_EQ(ErrorRow(), std::string(*c.message ? "ERROR:" : "") + c.message);
        EXPECT_EQ(g_PrinterContext.ink, c.printerInkAfter);
        EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
        EXPECT_EQ(OpenDescriptors(), descriptors);
        KeyInput_TakeTypedKeys(&input, &prompt);
        EXPECT_STREQ(prompt.editor.bytes, c.lineAfter);
        SetPrinterLevels(3000, 100);
        EXPECT_EQ(PrinterCommandParser(0, "Print a.txt"), 1);
        EXPECT_FALSE(Printer_IsAdmitting());
        EXPECT_EQ(GetNodeCount(&g_JobWaitList), 1);
    }
    close(keys[0]);
    close(keys[1]);
}

// ---------------------------------------------------------------- cancelling

TEST_F(Admission, UserCancelsOldestOwnJob)
{
    WriteFile("one.txt", "a\n");
    WriteFile("two.txt", "ab\n");
    WriteFile("three.txt", "abc\n");
    PrinterCommandParser(0, "Print one.txt");
    PrinterCommandParser(1, "Print two.txt");
    PrinterCommandParser(0, "Print three.txt");
    int descriptors = OpenDescriptors();
    EXPECT_EQ(PrinterCommandParser(0, "Cancel All"), 1);  // a user's Cancel All cancels one job
    EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{1, 2, 1}, {0, 3, 1}}));
    EXPECT_EQ(OpenDescriptors(), descriptors - 1);
    EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING);
    EXPECT_EQ(ErrorRow(), "");
}

TEST_F(Admission, CancelPrintingIsARequest)
{
    WriteFile("a.txt", "a\n");
    PrinterCommandParser(0, "Print a.txt");
    Tick();  // starts the job
    ASSERT_NE(g_PrinterContext.pCurrentJob, nullptr);
    PrinterCommandParser(0, "Print a.txt");
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(PrinterCommandParser(0, "cancel"), 1);
        EXPECT_EQ(g_PrinterContext.state, PRINTER_REQUEST_CANCEL);
        EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{0, 1, 1}}));
        EXPECT_NE(g_PrinterContext.pCurrentJob, nullptr);
    }
    EXPECT_EQ(ErrorRow(), "");
}

TEST_F(Admission, CancelAllEmptiesAtOnce)
{
    WriteFile("a.txt", "a\n");
    int descriptors = OpenDescriptors();
    PrinterCommandParser(0, "Print a.txt");
    PrinterCommandParser(1, "Print a.txt");
    PrinterCommandParser(2, "Print a.txt");
    EXPECT_EQ(PrinterCommandParser(ADMINISTRATOR_USER_ID, "cANCEL aLL"), 1);
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
    EXPECT_EQ(g_PrinterContext.state, PRINTER_REQUEST_CANCEL);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(ErrorRow(), "");
}

}  // namespace
