#include "terminal/Ticker.h"

#include <chrono>
#include <csignal>
#include <thread>
#include <unistd.h>

#include "engine/Printer.h"
#include "common/BuildSettings.h"
#include "terminal/EngineLock.h"
#include "terminal/SignalPipe.h"

constexpr unsigned ENGINE_PERIOD_SECONDS = 1;

void sigint_handler(int)
{
    SignalPipe_Post(SIGNAL_EVENT_TICK);
}

static void StartAlarmTicker()
{
    CatchSignal(SIGALRM, sigint_handler);
    alarm(ENGINE_PERIOD_SECONDS);
}

void RunDueEngineStep()
{
    EngineLockGuard lock(g_EngineLock);
    RunDueEngineStepHeld();
}

void RunDueEngineStepHeld()
{
    PrinterEngineController();
    alarm(ENGINE_PERIOD_SECONDS);
}

void RunEngineSteps(std::chrono::milliseconds period, const std::atomic<bool> *isStopping)
{
    while (isStopping == nullptr || !isStopping->load()) {
        {
            EngineLockGuard lock(g_EngineLock);
            PrinterEngineController();
        }
        std::this_thread::sleep_for(period);
    }
}

void *ThreadProc(void *)
{
    RunEngineSteps(std::chrono::seconds(ENGINE_PERIOD_SECONDS), nullptr);
    return nullptr;
}

void SetDigitalClock()
{
    switch (g_BuildSettings.ticker) {
    case TICKER_ALARM:
        StartAlarmTicker();
        break;
    case TICKER_WORKER_THREAD:
        std::thread(ThreadProc, nullptr).detach();
        break;
    }
}
