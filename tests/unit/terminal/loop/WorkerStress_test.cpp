// The worker-thread ticker against a busy command loop: thousands of
// command lines while the engine steps every millisecond. Run under the
// thread sanitizer in CI; everywhere it checks that the records stay
// consistent and that nothing changes them while the engine lock is held.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/loop/CommandSelector.h"
#include "terminal/loop/EngineLock.h"
#include "terminal/prompt/LineEditor.h"
#include "terminal/loop/Ticker.h"
#include "terminal/screen/Screen.h"
#include "terminal/programs/Programs.h"
#include "tests/support/HeadlessScreen.h"
#include "tests/support/LockWatch.h"

namespace {

using WorkerStress = HeadlessScreen;

// What every step and every command must leave behind.
void ExpectConsistentRecords()
{
    if (g_PrinterContext.state == PRINTER_PRINTING) {
        ASSERT_NE(g_PrinterContext.pCurrentJob, nullptr);
    }
    if (g_PrinterContext.state == PRINTER_WAITING) {
        ASSERT_EQ(g_PrinterContext.pCurrentJob, nullptr);
    }
    ASSERT_LE(g_PrinterContext.ink, PRINTER_INK_CAPACITY);
    ASSERT_LE(g_PrinterContext.paper, PRINTER_PAPER_CAPACITY);
    ASSERT_LE(GetNodeCount(&g_JobWaitList), MAX_WAIT_JOBS);
}

TEST_F(WorkerStress, StepsNeverInterleave)
{
    g_BuildSettings = QUILLBAY_THREAD_SETTINGS;
    std::string page;
    for (int i = 0; i < 12; i++)
        page += "a line of the stress file\n";
    WriteFile("page.txt", page);

    const char *const lines[] = {
        "Add User ann", "Add User bob",      "Refill Ink=400 Paper=20", "ann Print page.txt",
        "bob Print page.txt", "Show User List", "ann Cancel",             "Refill Ink=-50",
        "bob Cancel All", "Printer Cancel All", "Del User bob",           "zed Print page.txt",
    };
    std::atomic<bool> isStopping{false};
    std::thread worker(RunEngineSteps, std::chrono::milliseconds(1), &isStopping);
    LockWatch watch(g_EngineLock, SeeRecords);
    LineEditor editor;
    for (int i = 0; i < 4000; i++) {
        const char *line = lines[i % (sizeof lines / sizeof lines[0])];
        {
            EngineLockGuard lock(g_EngineLock);
            LineEditor_Clear(&editor);
            DrawPrompt();
            for (const char *c = line; *c != '\0'; c++)
                LineEditor_Insert(&editor, static_cast<wchar_t>(*c));
            DrawCommandLine(&editor);
        }
        {
            EngineLockGuard lock(g_EngineLock);
            EndCommandInput();
            CommandSelector(editor.bytes);
            EchoCommand(editor.bytes);
            ExpectConsistentRecords();
        }
        if (i % 64 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    isStopping = true;
    worker.join();
    watch.Finish();
    ExpectConsistentRecords();
    EXPECT_GT(watch.Looks(), 0);
    EXPECT_EQ(watch.ChangesUnderTheLock(), 0);
}

}  // namespace
