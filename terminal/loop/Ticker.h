// The engine ticker: what makes PrinterEngineController run once a second.
// With the alarm ticker the step runs on the main thread, between commands;
// with the worker-thread ticker on a thread of its own. Either way it holds
// the engine lock for the step and its redraw.
#pragma once

#include <atomic>
#include <chrono>

// Starts the ticker chosen by the build settings. 0, or the errno of a
// worker thread that could not be created.
int SetDigitalClock();
// The SIGALRM handler: records the tick in the signal pipe, nothing else.
void sigint_handler(int signalNumber);
// Runs the step that a recorded tick asked for, then arms the next alarm,
// so that the next step comes one second after this one ended.
void RunDueEngineStep();
// The worker thread's body: a step at once, then one a second, for ever.
void *ThreadProc(void *unused);
// The worker's loop: a step under the engine lock, then a pause of `period`,
// until *isStopping turns true (never, when it is NULL).
void RunEngineSteps(std::chrono::milliseconds period, const std::atomic<bool> *isStopping);
