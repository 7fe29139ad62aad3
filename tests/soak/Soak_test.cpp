// A long run of the engine: 10,000 jobs admitted from real files, printed,
// cancelled while waiting or while printing, cancelled all at once, with
// the stock refilled as it runs out. Afterwards the process holds the same
// descriptors and the same heap as before the first of them.
#include <gtest/gtest.h>

#include <malloc.h>
#include <string>

#include "terminal/loop/CommandSelector.h"
#include "tests/support/PrinterScreen.h"

namespace {

constexpr int SOAK_JOBS = 10000;          // jobs admitted in the measured run
constexpr int WARM_UP_JOBS = 1000;        // lets curses, stdio and the C library make their lasting buffers first
constexpr int OUTPUT_CLEAN_EVERY = 200;   // rounds between two emptyings of PRINT

class Soak : public PrinterScreen {
protected:
    int admitted = 0;

    static size_t HeapInUse() { return mallinfo2().uordblks; }

    static void EmptyOutputDirectory()
    {
        for (const auto &entry : std::filesystem::directory_iterator("PRINT"))
            std::filesystem::remove(entry.path());
    }

    // A refill between jobs may come first, so a job starts when it starts.
    static bool HasPrintedASheet()
    {
        return g_PrinterContext.pCurrentJob != nullptr && g_PrinterContext.pCurrentJob->printedPages > 0;
    }

    static bool IsIdle() { return g_PrinterContext.pCurrentJob == nullptr && GetNodeCount(&g_JobWaitList) == 0; }

    static void TickUntilIdle()
    {
        for (int i = 0; i < 1000 && !IsIdle(); i++)
            Tick();
        ASSERT_TRUE(IsIdle());
        Tick();  // the cancel request of a cancel-all, if one is left
    }

    // Tops the printer up through the command language and the engine.
    static void RefillWhenLow()
    {
        if (g_PrinterContext.ink >= 1000 && g_PrinterContext.paper >= 20)
            return;
        CommandSelector("admin Refill Ink=3000 Paper=100");
        for (int i = 0; i < 100 && g_PrinterContext.state != PRINTER_WAITING; i++)
            Tick();
        for (int i = 0; i < 100 && (g_SuppliesData.ink > 0 || g_SuppliesData.paper > 0) &&
                        (g_PrinterContext.ink < 3000 || g_PrinterContext.paper < 100);
             i++)
            Tick();
    }

    void Print(const char *command)
    {
        std::string line = std::string("ann Print ") + command;
        ASSERT_EQ(CommandSelector(line.c_str()), 1) << ErrorRow();
        admitted++;
    }

    // One round of the four ways a job can go; each admits one to five jobs.
    void Round(int round)
    {
        RefillWhenLow();
        switch (round % 4) {
        case 0:  // printed to its end
            Print("lines25.txt");
            TickUntilIdle();
            break;
        case 1:  // cancelled while waiting
            Print("small.txt");
            ASSERT_EQ(CommandSelector("ann Cancel"), 1);
            break;
        case 2:  // cancelled while printing, after its first sheet
            Print("lines25.txt");
            for (int i = 0; i < 100 && !HasPrintedASheet(); i++)
                Tick();
            ASSERT_TRUE(HasPrintedASheet());
            ASSERT_EQ(CommandSelector("ann Cancel"), 1);
            TickUntilIdle();
            break;
        case 3:  // five queued, one started, then all cancelled at once
            for (int i = 0; i < MAX_WAIT_JOBS; i++)
                Print(i % 2 == 0 ? "small.txt" : "empty.txt");
            Tick();
            ASSERT_EQ(CommandSelector("Printer Cancel All"), 1);
            TickUntilIdle();
            break;
        }
        if (round % OUTPUT_CLEAN_EVERY == 0)
            EmptyOutputDirectory();
    }

    void RunUntilAdmitted(int jobs)
    {
        for (int round = 0; admitted < jobs; round++) {
            Round(round);
            if (HasFatalFailure())
                return;
        }
    }
};

TEST_F(Soak, TenThousandJobsLeaveNoDescriptorAndNoHeapBehind)
{
    WriteFile("small.txt", "one\ntwo\nthree\n");
    WriteFile("empty.txt", "");
    std::string lines;
    for (int i = 1; i <= 25; i++)
        lines += "line " + std::to_string(i) + " of a sheet or three\n";
    WriteFile("lines25.txt", lines);
    ASSERT_EQ(CommandSelector("admin Add User ann"), 1);

    RunUntilAdmitted(WARM_UP_JOBS);
    EmptyOutputDirectory();
    int descriptorsBefore = OpenDescriptors();
    size_t heapBefore = HeapInUse();

    RunUntilAdmitted(WARM_UP_JOBS + SOAK_JOBS);
    ASSERT_FALSE(HasFatalFailure());
    EmptyOutputDirectory();
    EXPECT_GE(admitted, WARM_UP_JOBS + SOAK_JOBS);
    EXPECT_TRUE(IsIdle());
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
    EXPECT_EQ(HeapInUse(), heapBefore);
}

}  // namespace
