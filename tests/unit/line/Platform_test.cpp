// The stand-ins for the platform's CreateThread and Sleep.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "line/Platform.h"

using namespace linemode;

namespace {

std::atomic<void *> g_seenParameter{nullptr};
std::atomic<bool> g_hasRun{false};

uint32_t RecordRun(void *parameter)
{
    g_seenParameter = parameter;
    g_hasRun = true;
    return 0;
}

}  // namespace

TEST(LinePlatform, CreateThreadRunsBeside)
{
    int marker = 0;
    uint32_t dwTID = 0;
    ThreadHandle handle = CreateThread(nullptr, 0, RecordRun, &marker, 0, &dwTID);
    EXPECT_NE(handle, ThreadHandle());
    EXPECT_NE(dwTID, 0u);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!g_hasRun && std::chrono::steady_clock::now() < deadline)
        Sleep(1);
    EXPECT_TRUE(g_hasRun);
    EXPECT_EQ(g_seenParameter, &marker);

    uint32_t secondTID = 0;
    CreateThread(nullptr, 0, RecordRun, nullptr, 0, &secondTID);
    EXPECT_NE(secondTID, dwTID) << "identifiers are not reused";
}

TEST(LinePlatform, SleepPausesAtLeast)
{
    auto start = std::chrono::steady_clock::now();
    Sleep(50);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(50));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}
