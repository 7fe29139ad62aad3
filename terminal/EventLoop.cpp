#include "terminal/EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/BuildSettings.h"
#include "engine/Printer.h"
#include "terminal/CommandSelector.h"
#include "terminal/EngineLock.h"
#include "terminal/Leaving.h"
#include "terminal/Prompt.h"
#include "terminal/SignalPipe.h"
#include "terminal/Signals.h"
#include "terminal/TerminalOutput.h"
#include "terminal/Ticker.h"
#include "terminal/display.h"

constexpr auto PAUSE_AFTER_COMMAND = std::chrono::milliseconds(100);
constexpr auto PROGRESS_AFTER = std::chrono::seconds(1);  // a shorter measuring shows no progress

using Clock = std::chrono::steady_clock;

// Milliseconds from now to `end`, rounded up; -1 for no end.
static int MsUntil(Clock::time_point end)
{
    if (end == Clock::time_point::max())
        return -1;
    Clock::time_point now = Clock::now();
    return now >= end ? 0 : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(end - now).count());
}

// ---------------------------------------------------------------- one pass

// A hung-up terminal keeps poll() returning at once with nothing to read;
// waiting on it again would spin, so the program leaves instead.
static bool IsTerminalInputGone(short revents)
{
    if (revents & (POLLHUP | POLLERR | POLLNVAL))
        return true;
    int pending = 0;
    return (revents & POLLIN) && ioctl(STDIN_FILENO, FIONREAD, &pending) == 0 && pending == 0;
}

// Carries out what the signals recorded: an end, a stop, a resize, an
// engine step.
static void HandleSignalEvents()
{
    unsigned events = SignalPipe_Drain();
    FollowProgramSignals(events);
    if (events & SIGNAL_EVENT_RESIZE) {
        EngineLockGuard lock(g_EngineLock);
        HandleTerminalResize();
    }
    if (events & SIGNAL_EVENT_TICK)
        RunDueEngineStep();
}

// Moves curses' output on. Output dropped while the terminal could not
// keep up is made good by drawing the screen whole once it takes output
// again.
static void MoveOutput()
{
    EngineLockGuard lock(g_EngineLock);
    if (!TerminalOutput_Move())
        return;
    HandleTerminalResize();
    TerminalOutput_Move();
}

// Waits up to `timeoutMs` (-1: no limit) for keys (when they are read), a
// signal (the worker thread's redraws among them) or room on the terminal
// for output; then carries out the signals and moves the output. True when
// keys wait.
static bool WaitOnce(bool isReadingKeys, int timeoutMs)
{
    bool isOutputWaiting = TerminalOutput_IsWaiting();
    struct pollfd fds[] = {
        {STDIN_FILENO, static_cast<short>(isReadingKeys ? POLLIN : 0), 0},
        {SignalPipe_ReadFd(), POLLIN, 0},
        {isOutputWaiting ? TerminalOutput_TerminalFd() : -1, POLLOUT, 0},
    };
    if (poll(fds, sizeof fds / sizeof fds[0], timeoutMs) < 0 && errno != EINTR)
        LeaveBecause(strerror(errno));
    HandleSignalEvents();  // first: a hang-up's SIGHUP ends the program by that signal
    MoveOutput();
    if (IsTerminalInputGone(fds[0].revents))
        LeaveBecause("the terminal is gone");
    return fds[0].revents & POLLIN;
}

// ---------------------------------------------------------------- phases

// Takes keys until a command line is entered, however long that takes:
// whenever keys wait, and whenever the prompt asked to be called again
// (after the escape delay). While the terminal is too small to show them,
// keys wait unread, so nothing runs unseen.
static void ReadCommandLine(Prompt *prompt)
{
    bool isDue = true;  // keys left from an earlier bite show in no poll
    Clock::time_point callAgain = Clock::time_point::max();
    for (;;) {
        bool isReadingKeys;
        PromptRead read = PROMPT_READ_PENDING;
        {
            EngineLockGuard lock(g_EngineLock);
            isReadingKeys = !IsDisplayHeldBack();
            if (isReadingKeys && isDue) {
                read = Prompt_TakeTypedKeys(prompt);
                int waitMs = Prompt_InputWaitMs(prompt);
                callAgain = waitMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(waitMs);
            }
        }
        if (read == PROMPT_READ_LEAVE)
            LeaveOnRequest();
        if (read == PROMPT_READ_ENTERED)
            return;
        bool isKeyWaiting = WaitOnce(isReadingKeys, isReadingKeys ? MsUntil(callAgain) : -1);
        isDue = isKeyWaiting || Clock::now() >= callAgain;
    }
}

// The pause after each command, PAUSE_AFTER_COMMAND (0.1 s). Signals, due
// steps and output go on.
static void PauseAfterCommand()
{
    const Clock::time_point end = Clock::now() + PAUSE_AFTER_COMMAND;
    while (Clock::now() < end)
        WaitOnce(false, MsUntil(end));
}

// Measures the file of a long admission a slice a pass. The progress row
// shows once it has lasted a second; Esc abandons it, and every other key
// stays for the next prompt. Measuring and waiting for the measuring's
// second thread touch no record, so they run without the lock.
static void FollowAdmission()
{
    const Clock::time_point started = Clock::now();
    bool isProgressShown = false;
    bool isMeasured = false;
    bool isAbandoned = false;
    while (!isMeasured && !isAbandoned) {
        isMeasured = Printer_AdmitNextSlice();
        WaitOnce(false, 0);
        EngineLockGuard lock(g_EngineLock);
        MeasureProgress progress = Printer_AdmissionProgress();
        if (Clock::now() - started >= PROGRESS_AFTER && progress.fileBytes > 0) {
            uint64_t measured = std::min(progress.measuredBytes, progress.fileBytes);
            DrawMeasureProgress(static_cast<int>(measured * 100 / progress.fileBytes));
            isProgressShown = true;
        }
        isAbandoned = TakeEscapeKey();
    }
    if (isAbandoned)
        Printer_StopMeasuring();
    EngineLockGuard lock(g_EngineLock);
    if (isProgressShown)
        EraseMeasureProgress();
    if (isAbandoned)
        Printer_AbandonAdmission();
    else
        Printer_FinishAdmission();
}

static void EchoIfAsked(const char *line)
{
    if (g_BuildSettings.echoesCommand)
        EchoCommand(line);
}

// Carries out a command line. A print command whose file takes longer to
// measure leaves its admission to FollowAdmission.
static void HandleCommandLine(const char *line)
{
    {
        EngineLockGuard lock(g_EngineLock);
        EndCommandInput();
        CommandSelector(line);
        if (!Printer_IsAdmitting()) {
            EchoIfAsked(line);
            return;
        }
    }
    FollowAdmission();
    EngineLockGuard lock(g_EngineLock);
    EchoIfAsked(line);
}

void RunCommandLoop()
{
    static Prompt prompt;
    Prompt_Init(&prompt);
    Printer_SetSlicedAdmission(true);
    for (;;) {
        Prompt_StartLine(&prompt);
        {
            EngineLockGuard lock(g_EngineLock);
            DrawPrompt();
        }
        ReadCommandLine(&prompt);
        HandleCommandLine(prompt.editor.bytes);
        PauseAfterCommand();
    }
}
