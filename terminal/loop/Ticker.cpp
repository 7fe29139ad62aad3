#include "terminal/loop/Ticker.h"

#include <chrono>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>

#include "common/BuildSettings.h"
#include "engine/Printer.h"
#include "terminal/loop/EngineLock.h"
#include "terminal/loop/SignalPipe.h"

constexpr unsigned ENGINE_PERIOD_SECONDS = 1;
constexpr size_t WORKER_STACK_SIZE = size_t{512} << 10;  // bytes; a step uses a few KiB

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
        SignalPipe_Post(SIGNAL_EVENT_DRAWN);  // the loop moves the redraw to the terminal
        std::this_thread::sleep_for(period);
    }
}

void *ThreadProc(void *)
{
    RunEngineSteps(std::chrono::seconds(ENGINE_PERIOD_SECONDS), nullptr);
    return nullptr;
}

// The worker's step needs little stack; a small one lets it start under a
// tight memory limit that the default of several megabytes would not fit.
static int StartWorkerTicker()
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, WORKER_STACK_SIZE);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t worker;
    int error = pthread_create(&worker, &attributes, ThreadProc, nullptr);
    pthread_attr_destroy(&attributes);
    return error;
}

int SetDigitalClock()
{
    switch (g_BuildSettings.ticker) {
    case TICKER_ALARM:
        StartAlarmTicker();
        return 0;
    case TICKER_WORKER_THREAD:
        return StartWorkerTicker();
    }
    return 0;
}
