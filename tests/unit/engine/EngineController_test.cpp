#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/support/PrinterScreen.h"

namespace {

// Lines of 20 letters each, every line ended; lines are numbered from 1.
std::string Lines(int first, int last)
{
    std::string text;
    for (int i = first; i <= last; i++)
        text += std::string(20, static_cast<char>('a' + (i - 1) % 26)) + "\n";
    return text;
}

std::string StatusText(const char *status, uint32_t ink, uint32_t paper)
{
    return std::string("Printer Status : ") + status + " | INK : " + std::to_string(ink) +
           " | PAPER : " + std::to_string(paper);
}

class Engine : public PrinterScreen {
protected:
    static void Admit(int32_t userID, const std::string &name, const std::string &content)
    {
        WriteFile(name, content);
        ASSERT_EQ(Printer_AddJob(userID, name.c_str()), 1) << ErrorRow();
    }

    // Leaves a marker where the status row is drawn; it survives only a tick
    // that does not redraw.
    static void MarkStatusRow()
    {
        if (g_pPrinterWindow == nullptr)
            display(DISPLAY_ORDINARY);
        mvwaddstr(g_pPrinterWindow, 6, 2, "<not redrawn>");
        wclrtoeol(g_pPrinterWindow);
    }

    // Ticks until the printer is idle again; returns the ticks taken.
    static int TickUntilIdle(int limit = 50)
    {
        int ticks = 0;
        do {
            Tick();
            ticks++;
        } while (ticks < limit && (g_PrinterContext.pCurrentJob != nullptr || GetNodeCount(&g_JobWaitList) != 0));
        return ticks;
    }

    static std::string LocalStamp(time_t when)
    {
        struct tm local;
        localtime_r(&when, &local);
        char stamp[32];
        strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &local);
        return stamp;
    }
};

// ---------------------------------------------------------------- state machine

struct StepCase {
    const char *name;
    PrinterState before;
    int32_t stockInk;
    uint32_t printerInk;
    bool hasCurrentJob;
    int waitingJobs;
    PrinterState after;
    const char *shown;  // status text of the tick's redraw; nullptr: no redraw
    uint32_t inkAfter;
    uint32_t paperAfter;
    int32_t stockInkAfter;
    bool hasCurrentJobAfter;
};

// One tick from each row of the state machine. The current job, where there
// is one, is a three-sheet job of 200 ink per full sheet; stock paper is 0
// and the printer holds 100 sheets, so only ink decides whether a refill is
// possible.
TEST_F(Engine, StatesStepInRuleOrder)
{
    const StepCase cases[] = {
        {"waiting, refill possible", PRINTER_WAITING, 500, 0, false, 0, PRINTER_REFILLING, "Refilling...", 100, 100, 400, false},
        {"waiting with a job queued: refill first", PRINTER_WAITING, 500, 0, false, 1, PRINTER_REFILLING, "Refilling...", 100, 100, 400, false},
        {"held job, refill possible", PRINTER_NEED_SUPPLIES, 500, 0, true, 0, PRINTER_REFILLING, "Refilling...", 100, 100, 400, true},
        {"held job, last of the stock", PRINTER_NEED_SUPPLIES, 100, 0, true, 0, PRINTER_PRINTING, "Printing...", 100, 100, 0, true},
        {"refilling up to full", PRINTER_REFILLING, 500, 2950, false, 0, PRINTER_WAITING, "Waiting...", 3000, 100, 450, false},
        {"cancel request before a possible refill", PRINTER_REQUEST_CANCEL, 500, 0, true, 0, PRINTER_WAITING, "Request Cancel", 0, 100, 500, false},
        {"held job, no refill", PRINTER_NEED_SUPPLIES, 0, 0, true, 0, PRINTER_NEED_SUPPLIES, "Need Supplies!", 0, 100, 0, true},
        {"idle", PRINTER_WAITING, 0, 3000, false, 0, PRINTER_WAITING, "Waiting...", 3000, 100, 0, false},
        {"cancel request, no job", PRINTER_REQUEST_CANCEL, 0, 3000, false, 0, PRINTER_WAITING, "Request Cancel", 3000, 100, 0, false},
        {"cancel request, job", PRINTER_REQUEST_CANCEL, 0, 3000, true, 1, PRINTER_WAITING, "Request Cancel", 3000, 100, 0, false},
        {"printing ignores a possible refill", PRINTER_PRINTING, 500, 2000, true, 0, PRINTER_PRINTING, "Printing...", 1800, 99, 500, true},
        {"waiting with a job queued: start it", PRINTER_WAITING, 0, 3000, false, 1, PRINTER_PRINTING, "Printing...", 3000, 100, 0, true},
        {"refilling with nothing to refill", PRINTER_REFILLING, 0, 3000, false, 0, PRINTER_REFILLING, nullptr, 3000, 100, 0, false},
    };
    for (const StepCase &c : cases) {
        SCOPED_TRACE(c.name);
        ResetRecords();
        SetPrinterLevels(3000, 100);
        if (c.hasCurrentJob) {
            Admit(5, "current.txt", Lines(1, 25));
            Tick();
            ASSERT_NE(g_PrinterContext.pCurrentJob, nullptr);
        }
        for (int i = 0; i < c.waitingJobs; i++)
            Admit(6, "waiting.txt", "w\n");
        SetPrinterLevels(c.printerInk, 100);
        g_SuppliesData.ink = c.stockInk;
        g_PrinterContext.state = c.before;
        MarkStatusRow();

        Tick();

        EXPECT_EQ(g_PrinterContext.state, c.after);
        EXPECT_EQ(Status(), c.shown ? StatusText(c.shown, c.inkAfter, c.paperAfter) : "<not redrawn>");
        EXPECT_EQ(g_PrinterContext.ink, c.inkAfter);
        EXPECT_EQ(g_PrinterContext.paper, c.paperAfter);
        EXPECT_EQ(g_SuppliesData.ink, c.stockInkAfter);
        EXPECT_EQ(g_PrinterContext.pCurrentJob != nullptr, c.hasCurrentJobAfter);
    }
}

// ---------------------------------------------------------------- refill pace

TEST_F(Engine, AmpleRefillTakes30Ticks)
{
    g_SuppliesData = {5000, 500};
    for (uint32_t tick = 1; tick <= 30; tick++) {
        Tick();
        uint32_t paper = tick < 10 ? 10 * tick : 100;
        const char *status = tick < 30 ? "Refilling..." : "Waiting...";
        ASSERT_EQ(Status(), StatusText(status, 100 * tick, paper)) << "tick " << tick;
    }
    EXPECT_EQ(g_SuppliesData.ink, 2000);
    EXPECT_EQ(g_SuppliesData.paper, 400);
    EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING);
    EXPECT_EQ(PrinterRow(7).substr(28), "Admin Supplies { ink = 2000 paper = 400 }");
}

TEST_F(Engine, RefillMovesLittleStock)
{
    g_SuppliesData = {250, 0};
    Tick();
    EXPECT_EQ(Status(), StatusText("Refilling...", 100, 0));
    Tick();
    EXPECT_EQ(Status(), StatusText("Refilling...", 200, 0));
    Tick();
    EXPECT_EQ(Status(), StatusText("Waiting...", 250, 0));
    EXPECT_EQ(g_SuppliesData.ink, 0);
    Tick();
    EXPECT_EQ(Status(), StatusText("Waiting...", 250, 0));
}

// ---------------------------------------------------------------- jobs

TEST_F(Engine, OneSheetJobEndsNextTick)
{
    SetPrinterLevels(3000, 100);
    Admit(2, "hello.txt", "hello\n");
    Tick();
    EXPECT_EQ(Status(), StatusText("Printing...", 3000, 100));
    EXPECT_EQ(CurrentJobRow(), "Current Printing Job {UID = 2, 0/1}");
    std::vector<std::string> names = OutputFiles();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names[0], std::regex(R"(\d{14}\.txt)"))) << names[0];
    EXPECT_EQ(OnlyOutput(), "");

    Tick();
    EXPECT_EQ(Status(), StatusText("Waiting...", 2995, 99));
    EXPECT_EQ(CurrentJobRow(), "");  // never "1/1"
    EXPECT_EQ(OnlyOutput(), "hello\n");
    EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
}

TEST_F(Engine, TwentyFiveLinesBySheet)
{
    SetPrinterLevels(3000, 100);
    int descriptors = OpenDescriptors();
    Admit(0, "report.txt", Lines(1, 25));
    EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{0, 500, 3}}));
    Tick();
    EXPECT_EQ(CurrentJobRow(), "Current Printing Job {UID = 0, 0/3}");

    const struct {
        int lastLine;
        uint32_t ink;
        const char *jobRow;
        const char *status;
    } sheets[] = {
        {10, 2800, "Current Printing Job {UID = 0, 1/3}", "Printing..."},
        {20, 2600, "Current Printing Job {UID = 0, 2/3}", "Printing..."},
        {25, 2500, "", "Waiting..."},
    };
    uint32_t paper = 100;
    for (const auto &sheet : sheets) {
        SCOPED_TRACE(sheet.lastLine);
        Tick();
        paper--;
        // Read while the job may still hold the file open: each sheet is on disk.
        EXPECT_EQ(OnlyOutput(), Lines(1, sheet.lastLine));
        EXPECT_EQ(Status(), StatusText(sheet.status, sheet.ink, paper));
        EXPECT_EQ(CurrentJobRow(), sheet.jobRow);
    }
    EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(Engine, MidJobStockWaitsForEnd)
{
    SetPrinterLevels(3000, 100);
    Admit(0, "report.txt", Lines(1, 25));
    Admit(1, "next.txt", "n\n");
    Tick();
    RefilInk(300);
    Tick(3);
    EXPECT_EQ(Status(), StatusText("Waiting...", 2500, 97));
    EXPECT_EQ(g_SuppliesData.ink, 300);
    Tick();
    EXPECT_EQ(Status(), StatusText("Refilling...", 2600, 97));
    Tick(2);
    EXPECT_EQ(Status(), StatusText("Waiting...", 2800, 97));
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 1);
    Tick();
    EXPECT_EQ(CurrentJobRow(), "Current Printing Job {UID = 1, 0/1}");
}

// ---------------------------------------------------------------- output files

struct OutputCase {
    const char *name;
    std::string content;
    std::string output;
    int32_t needInk;
    int32_t needPaper;
};

TEST_F(Engine, OutputIsThePrintLines)
{
    std::string first35(35, 'L');
    std::string line29(29, 'm');
    const OutputCase cases[] = {
        {"long first line cut, short lines unchanged", first35 + "\n" + Lines(2, 8),
         std::string(30, 'L') + "\r\n" + Lines(2, 8), 30 + 7 * 20, 1},
        {"29 characters: line feed, then CR LF", line29 + "\n", line29 + "\n\r\n", 29, 1},
        {"empty file: one sheet, empty output", "", "", 0, 1},
        {"10 lines: second sheet empty", Lines(1, 10), Lines(1, 10), 200, 2},
        {"last line not ended", "a b\tc", "a b\tc", 3, 1},
    };
    for (const OutputCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all("PRINT");
        ResetRecords();
        SetPrinterLevels(3000, 100);
        Admit(0, "in.txt", c.content);
        EXPECT_EQ(WaitingJobs(), (std::vector<WaitingJob>{{0, c.needInk, c.needPaper}}));
        EXPECT_EQ(TickUntilIdle(), 1 + c.needPaper);
        EXPECT_EQ(OnlyOutput(), c.output);
        EXPECT_EQ(g_PrinterContext.ink, 3000u - c.needInk);
        EXPECT_EQ(g_PrinterContext.paper, 100u - c.needPaper);
    }
}

TEST_F(Engine, NeverReplacesAFile)
{
    SetPrinterLevels(3000, 100);
    Admit(0, "in.txt", "new\n");
    // Take the plain and the "-1" names of this second and the next two.
    time_t now = time(nullptr);
    for (time_t when = now; when <= now + 2; when++) {
        WriteFile("PRINT/" + LocalStamp(when) + ".txt", "keep");
        WriteFile("PRINT/" + LocalStamp(when) + "-1.txt", "keep");
    }
    TickUntilIdle();
    std::vector<std::string> names = OutputFiles();
    ASSERT_EQ(names.size(), 7u);
    int created = 0;
    for (const std::string &name : names) {
        if (std::regex_match(name, std::regex(R"(\d{14}-2\.txt)"))) {
            created++;
            EXPECT_EQ(ReadFile("PRINT/" + name), "new\n");
        } else {
            EXPECT_EQ(ReadFile("PRINT/" + name), "keep") << name;
        }
    }
    EXPECT_EQ(created, 1);
}

TEST_F(Engine, RemakesPrintDirectory)
{
    SetPrinterLevels(3000, 100);
    Admit(0, "in.txt", "abc\n");
    ASSERT_EQ(rmdir("PRINT"), 0);
    TickUntilIdle();
    EXPECT_EQ(OnlyOutput(), "abc\n");
    EXPECT_EQ(ErrorRow(), "");
}

TEST_F(Engine, UncreatableFileEndsJob)
{
    SetPrinterLevels(3000, 100);
    ASSERT_EQ(rmdir("PRINT"), 0);
    WriteFile("PRINT", "a file, not a directory");
    int descriptors = OpenDescriptors();
    Admit(0, "in.txt", "abc\n");
    Admit(1, "in.txt", "abc\n");
    DrawPrompt();  // as in the command loop, where the error must show at once
    Tick();
    // On the terminal at once, inside the command window's frame, with the
    // cursor left at the prompt.
    EXPECT_EQ(getcury(curscr), 22);
    EXPECT_EQ(getcurx(curscr), 4);
    EXPECT_EQ(TrimRight(Cells(curscr, 21, 2, 77)), "ERROR:print file fopen failed.");
    EXPECT_EQ(Cells(curscr, 21, 79, 1), "#");
    EXPECT_EQ(ErrorRow(), "ERROR:print file fopen failed.");
    EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING);
    EXPECT_EQ(Status(), StatusText("Waiting...", 3000, 100));
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 1);
    Tick();  // the next job meets the same fate
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(ReadFile("PRINT"), "a file, not a directory");
}

// ---------------------------------------------------------------- supplies run out

TEST_F(Engine, InkHeldJobResumesSame)
{
    SetPrinterLevels(500, 100);
    Admit(0, "report.txt", Lines(1, 25));
    Admit(1, "report.txt", Lines(1, 25));  // admitted against the same 500 units
    Tick(4);                               // the first job uses them all
    std::vector<std::string> names = OutputFiles();
    ASSERT_EQ(names.size(), 1u);
    std::string uninterrupted = ReadFile("PRINT/" + names[0]);
    ASSERT_EQ(uninterrupted, Lines(1, 25));
    ASSERT_EQ(0, unlink(("PRINT/" + names[0]).c_str()));

    Tick();  // starts the second job
    Tick();
    EXPECT_EQ(Status(), StatusText("Need Supplies!", 0, 97));
    EXPECT_EQ(OnlyOutput(), "");
    Tick();
    EXPECT_EQ(Status(), StatusText("Need Supplies!", 0, 97));

    RefilInk(150);  // not enough for a sheet of 200
    Tick();
    EXPECT_EQ(Status(), StatusText("Refilling...", 100, 97));
    Tick();
    EXPECT_EQ(Status(), StatusText("Printing...", 150, 97));
    Tick();
    EXPECT_EQ(Status(), StatusText("Need Supplies!", 150, 97));
    EXPECT_EQ(OnlyOutput(), "");

    RefilInk(1000);
    Tick(10);
    EXPECT_EQ(Status(), StatusText("Printing...", 1150, 97));
    Tick(3);
    EXPECT_EQ(Status(), StatusText("Waiting...", 650, 94));
    EXPECT_EQ(OnlyOutput(), uninterrupted);
}

TEST_F(Engine, PaperHeldLastSheetResumes)
{
    SetPrinterLevels(3000, 2);
    Admit(0, "one.txt", "a\n");
    Admit(1, "ten.txt", Lines(1, 10));  // two sheets, the second empty
    Tick(2);  // one.txt
    std::vector<std::string> before = OutputFiles();
    Tick(2);  // ten.txt's first sheet
    EXPECT_EQ(CurrentJobRow(), "Current Printing Job {UID = 1, 1/2}");
    Tick();
    EXPECT_EQ(Status(), StatusText("Need Supplies!", 2799, 0));
    RefillPaper(5);
    Tick();
    EXPECT_EQ(Status(), StatusText("Printing...", 2799, 5));
    Tick();
    EXPECT_EQ(Status(), StatusText("Waiting...", 2799, 4));
    std::vector<std::string> names = OutputFiles();
    ASSERT_EQ(names.size(), 2u);
    const std::string &ten = names[0] == before[0] ? names[1] : names[0];
    EXPECT_EQ(ReadFile("PRINT/" + ten), Lines(1, 10));
}

// ---------------------------------------------------------------- cancelling

TEST_F(Engine, CancelEndsJobNextTick)
{
    SetPrinterLevels(3000, 100);
    int descriptors = OpenDescriptors();
    Admit(0, "report.txt", Lines(1, 25));
    Admit(1, "next.txt", "n\n");
    Tick(2);  // start, then the first sheet
    PrinterCommandParser(0, "Cancel");
    Tick();
    EXPECT_EQ(Status(), StatusText("Request Cancel", 2800, 99));
    EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    EXPECT_EQ(OnlyOutput(), Lines(1, 10));
    Tick();
    EXPECT_EQ(Status(), StatusText("Printing...", 2800, 99));
    EXPECT_EQ(CurrentJobRow(), "Current Printing Job {UID = 1, 0/1}");
    Tick();
    EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST_F(Engine, CancelBeforeRefill)
{
    SetPrinterLevels(2000, 100);
    Admit(0, "report.txt", Lines(1, 25));
    Tick(2);
    RefilInk(500);
    PrinterCommandParser(0, "Cancel");
    Tick();
    EXPECT_EQ(Status(), StatusText("Request Cancel", 1800, 99));
    EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    EXPECT_EQ(g_SuppliesData.ink, 500);
    Tick();
    EXPECT_EQ(Status(), StatusText("Refilling...", 1900, 99));
}

TEST_F(Engine, IdleCancelAllShowsOnce)
{
    SetPrinterLevels(3000, 100);
    Admit(0, "a.txt", "a\n");
    Admit(1, "a.txt", "a\n");
    PrinterCommandParser(ADMINISTRATOR_USER_ID, "Cancel All");
    EXPECT_EQ(GetNodeCount(&g_JobWaitList), 0);
    Tick();
    EXPECT_EQ(Status(), StatusText("Request Cancel", 3000, 100));
    EXPECT_EQ(g_PrinterContext.state, PRINTER_WAITING);
    Tick();
    EXPECT_EQ(Status(), StatusText("Waiting...", 3000, 100));
    EXPECT_TRUE(OutputFiles().empty());
}

}  // namespace
