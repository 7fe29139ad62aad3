#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/OutputFile.h"
#include "tests/support/PrinterScreen.h"

namespace {

constexpr int SHEETS = 5;            // 45 lines of 20 letters: 4 full sheets and one of 5 lines
constexpr size_t SHEET_BYTES = 210;  // 10 lines of 21 bytes

std::set<int> s_failingWrites;  // calls of the write that fail, counted from 1
int s_writes;

// A disk that fills up in the middle of the chosen writes: half of the
// bytes land, then the write fails. The cut-back must remove that half.
ssize_t FailingWrite(int fd, const void *data, size_t size, off_t offset)
{
    if (s_failingWrites.count(++s_writes) == 0)
        return pwrite(fd, data, size, offset);
    ssize_t landed = pwrite(fd, data, size / 2, offset);
    (void)landed;
    errno = ENOSPC;
    return -1;
}

class FileFaults : public PrinterScreen {
protected:
    void SetUp() override
    {
        PrinterScreen::SetUp();
        g_OutputFileCalls.write = FailingWrite;
        s_failingWrites.clear();
        s_writes = 0;
    }
    void TearDown() override
    {
        g_OutputFileCalls = {pwrite, ftruncate};
        PrinterScreen::TearDown();
    }
};

// What happens to the output file after the job's second sheet.
enum Meddling { LEAVE_IT, REMOVE_PRINT, REMOVE_FILE, REPLACE_FILE };

void Meddle(Meddling meddling, const std::string &name)
{
    switch (meddling) {
    case LEAVE_IT: break;
    case REMOVE_PRINT: std::filesystem::remove_all("PRINT"); break;
    case REMOVE_FILE: std::filesystem::remove(name); break;
    case REPLACE_FILE: HeadlessScreen::WriteFile(name + ".new", "someone else's\n"); std::filesystem::rename(name + ".new", name); break;
    }
}

struct FaultCase {
    const char *name;
    std::set<int> failingWrites;
    Meddling meddling;
    int heldTicks;             // ticks that print nothing
    const char *lastError;     // the error row at the end, up to the file name
    const char *finalName;     // suffix of the finished output's name: ".txt" or "-1.txt"
};

// A sheet counts only once it is wholly on disk in the file named under
// PRINT. Whatever fails, on every tick the file holds exactly the counted
// sheets, the printer's levels have paid for exactly those, and once the
// fault clears the file is byte for byte what an uninterrupted print gives.
TEST_F(FileFaults, CountsOnceEndsWhole)
{
    const std::string ENOSPC_ROW = "ERROR:print file write failed: No space left on device";
    const std::string MOVED_ROW = "ERROR:print file was removed; printing goes on in PRINT/";
    const FaultCase cases[] = {
        {"first sheet fails once", {1}, LEAVE_IT, 1, ENOSPC_ROW.c_str(), ".txt"},
        {"third sheet fails twice", {3, 4}, LEAVE_IT, 2, ENOSPC_ROW.c_str(), ".txt"},
        {"last sheet fails once", {5}, LEAVE_IT, 1, ENOSPC_ROW.c_str(), ".txt"},
        {"PRINT removed", {}, REMOVE_PRINT, 0, MOVED_ROW.c_str(), ".txt"},
        {"file removed, its copy fails once", {3}, REMOVE_FILE, 1, MOVED_ROW.c_str(), ".txt"},
        {"file replaced by another", {}, REPLACE_FILE, 0, MOVED_ROW.c_str(), "-1.txt"},
    };
    std::string content;
    for (int i = 0; i < 45; i++)
        content += std::string(20, static_cast<char>('a' + i % 26)) + "\n";

    for (const FaultCase &c : cases) {
        SCOPED_TRACE(c.name);
        ResetRecords();
        std::filesystem::remove_all("PRINT");
        s_failingWrites = c.failingWrites;
        s_writes = 0;
        SetPrinterLevels(3000, 100);
        WriteFile("doc.txt", content);
        ASSERT_EQ(Printer_AddJob(0, "doc.txt"), 1) << ErrorRow();
        Tick();  // starts the job
        ASSERT_NE(g_PrinterContext.pCurrentJob, nullptr);
        std::string firstName = "PRINT/" + OutputFiles().at(0);
        std::string stem = firstName.substr(0, firstName.size() - 4);

        int ticks = 0;
        std::string lastError;
        while (g_PrinterContext.pCurrentJob != nullptr && ticks < 20) {
            PrintJob *job = g_PrinterContext.pCurrentJob;
            int before = job->printedPages;
            ClearErrorRow();
            Tick();
            ticks++;
            if (!ErrorRow().empty())
                lastError = ErrorRow();
            if (g_PrinterContext.pCurrentJob == nullptr)
                break;
            int printed = job->printedPages;
            struct stat status;
            ASSERT_EQ(fstat(fileno(job->pOutputFile), &status), 0);
            EXPECT_EQ(static_cast<size_t>(status.st_size), printed * SHEET_BYTES) << "tick " << ticks;
            EXPECT_EQ(g_PrinterContext.ink, 3000u - 200u * printed) << "tick " << ticks;
            EXPECT_EQ(g_PrinterContext.paper, 100u - printed) << "tick " << ticks;
            EXPECT_EQ(g_PrinterContext.state, PRINTER_PRINTING);
            if (printed == before) {
                EXPECT_EQ(ErrorRow().substr(0, ENOSPC_ROW.size()), ENOSPC_ROW) << "tick " << ticks;
            }
            if (printed == 2 && before == 1)
                Meddle(c.meddling, firstName);
        }
        EXPECT_EQ(ticks, SHEETS + c.heldTicks);
        EXPECT_EQ(lastError.substr(0, strlen(c.lastError)), c.lastError);
        EXPECT_EQ(g_PrinterContext.ink, 3000u - 900u);
        EXPECT_EQ(g_PrinterContext.paper, 100u - SHEETS);
        EXPECT_EQ(ReadFile(stem + c.finalName), content);
        if (c.meddling == REPLACE_FILE) {
            EXPECT_EQ(ReadFile(firstName), "someone else's\n");
        }
    }
}

// A job held by a write that keeps failing can still be cancelled; its file
// keeps the whole sheets printed before.
TEST_F(FileFaults, CancelEndsStuckWrite)
{
    s_failingWrites = {2, 3, 4};
    SetPrinterLevels(3000, 100);
    std::string content;
    for (int i = 0; i < 15; i++)
        content += "line " + std::to_string(100 + i) + "\n";
    WriteFile("doc.txt", content);
    ASSERT_EQ(Printer_AddJob(0, "doc.txt"), 1) << ErrorRow();
    Tick(3);  // the start, sheet 1, then sheet 2 fails
    ASSERT_NE(g_PrinterContext.pCurrentJob, nullptr);
    ASSERT_EQ(g_PrinterContext.pCurrentJob->printedPages, 1);
    ASSERT_EQ(DeleteJob(0), 1);
    Tick();
    EXPECT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    EXPECT_EQ(OnlyOutput(), content.substr(0, 90));
}

}  // namespace
