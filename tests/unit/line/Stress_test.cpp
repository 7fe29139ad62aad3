// Thousands of command lines while the engine steps at a fast cadence. Run
// under the thread sanitizer in CI (.ci/run): the engine lock must keep the
// worker's reading of the first waiting job apart from the commands that
// delete it. Everywhere, a watcher checks that nothing changes the records
// while it holds the lock.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/support/LockWatch.h"
#include "tests/unit/line/LineFixture.h"

using namespace linemode;

namespace {

using LineStress = LineFixture;

TEST_F(LineStress, StepsNeverOverlap)
{
    const char *const commands[] = {
        "Add User ann",
        "PRINTER Print notes.txt",
        "PRINTER Print notes.txt",
        "PRINTER Print notes.txt",
        "PRINTER Print notes.txt",
        "Refill Ink = 1 Paper = 2",
        "PRINTER Cancel",
        "PRINTER Print notes.txt",
        "ann Cancel All",
        "PRINTER Print notes.txt",
        "Del User ann",
        "printer Print notes.txt",
    };
    constexpr int ROUNDS = 500;
    std::atomic<bool> isDone{false};
    std::atomic<long> steps{0};
    // The worker's loop, at a 100 microsecond cadence instead of a second.
    std::thread engine([&] {
        while (!isDone) {
            RunEngineStep();
            steps++;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    LockWatch watch(g_EngineLock, SeeLineRecords);
    // The engine is not left to chance on a busy machine: the commands wait
    // for a step of its own at the start, every 50 rounds and at the end.
    auto awaitEngineStep = [&] {
        long seen = steps.load();
        while (steps.load() == seen)
            std::this_thread::yield();
    };
    for (int round = 0; round < ROUNDS; round++) {
        if (round % 50 == 0)
            awaitEngineStep();
        for (const char *command : commands)
            HandleCommandLine(command);
        // Back to waiting, so that the engine keeps reading the first job.
        std::lock_guard<std::mutex> lock(g_EngineLock);
        g_PrinterContext.state = PRINTER_WAITING;
    }
    awaitEngineStep();
    isDone = true;
    engine.join();
    watch.Finish();

    EXPECT_GT(watch.Looks(), 0);
    EXPECT_EQ(watch.ChangesUnderTheLock(), 0);
    EXPECT_EQ(g_SuppliesData.ink, ROUNDS);
    EXPECT_EQ(g_SuppliesData.paper, 2 * ROUNDS);
    EXPECT_EQ(Users(), std::vector<std::string>{});
    // A round fills the wait list (a print is refused), cancels one, empties
    // it through ann and queues two more for the next round.
    EXPECT_EQ(Jobs(), (std::vector<int32_t>{-1, -1}));
    EXPECT_EQ(Jobs().size(), static_cast<size_t>(GetNodeCount(&g_JobWaitList)));
}

}  // namespace
