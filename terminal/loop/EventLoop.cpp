#include "terminal/loop/EventLoop.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "common/BuildSettings.h"
#include "engine/Printer.h"
#include "terminal/loop/CommandSelector.h"
#include "terminal/loop/EngineLock.h"
#include "terminal/loop/FileNames.h"
#include "terminal/loop/KeyInput.h"
#include "terminal/loop/SignalPipe.h"
#include "terminal/loop/Signals.h"
#include "terminal/loop/Ticker.h"
#include "terminal/prompt/Prompt.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/Screen.h"
#include "terminal/screen/TerminalOutput.h"

constexpr auto PAUSE_AFTER_COMMAND = std::chrono::milliseconds(100);
constexpr auto PROGRESS_AFTER = std::chrono::seconds(1);  // a shorter measuring shows no progress

using Clock = std::chrono::steady_clock;

static const char *s_failure;  // why the loop cannot go on; NULL while it can

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
// waiting on it again would spin, so the loop ends instead.
static bool IsTerminalInputGone(short revents)
{
    if (revents & (POLLHUP | POLLERR | POLLNVAL))
        return true;
    int pending = 0;
    return (revents & POLLIN) && ioctl(STDIN_FILENO, FIONREAD, &pending) == 0 && pending == 0;
}

// Carries out what the signals recorded: an end, a stop, a resize, an
// engine step. True when a step ran.
static bool HandleSignalEvents()
{
    unsigned events = SignalPipe_Drain();
    FollowProgramSignals(events);
    if (events & SIGNAL_EVENT_RESIZE) {
        EngineLockGuard lock(g_EngineLock);
        RepaintScreen(REPAINT_RESIZED);
    }
    if (events & SIGNAL_EVENT_TICK)
        RunDueEngineStep();
    return events & (SIGNAL_EVENT_TICK | SIGNAL_EVENT_DRAWN);
}

// Moves curses' output on. Output dropped while the terminal could not
// keep up is made good by drawing the screen whole once it takes output
// again.
static void MoveOutput()
{
    EngineLockGuard lock(g_EngineLock);
    if (!TerminalOutput_Move())
        return;
    RepaintScreen(REPAINT_OUTPUT_DROPPED);
    TerminalOutput_Move();
}

// What one wait brought.
struct Waited {
    bool isKeyWaiting;
    bool isStepTaken;  // an engine step ran, here or in the worker: the records may have changed
};

// Waits up to `timeoutMs` (-1: no limit) for keys (when they are read), a
// signal (the worker thread's redraws among them) or room on the terminal
// for output; then carries out the signals and moves the output. A
// terminal that is gone sets s_failure.
static Waited WaitOnce(bool isReadingKeys, int timeoutMs)
{
    bool isOutputWaiting = TerminalOutput_IsWaiting();
    struct pollfd fds[] = {
        {STDIN_FILENO, static_cast<short>(isReadingKeys ? POLLIN : 0), 0},
        {SignalPipe_ReadFd(), POLLIN, 0},
        {isOutputWaiting ? TerminalOutput_TerminalFd() : -1, POLLOUT, 0},
    };
    if (poll(fds, sizeof fds / sizeof fds[0], timeoutMs) < 0 && errno != EINTR) {
        s_failure = strerror(errno);
        return {};
    }
    Waited waited = {};
    waited.isStepTaken = HandleSignalEvents();  // first: a hang-up's SIGHUP ends the program by that signal
    MoveOutput();
    if (IsTerminalInputGone(fds[0].revents)) {
        s_failure = "the terminal is gone";
        return {};
    }
    waited.isKeyWaiting = fds[0].revents & POLLIN;
    return waited;
}

// ---------------------------------------------------------------- phases

// Takes keys until a command line is entered, however long that takes:
// whenever keys wait, and whenever the input asked to be looked at again
// (after the escape delay). While the terminal is too small to show them,
// keys wait unread, so nothing runs unseen. PROMPT_READ_LEAVE when the
// operator asked to leave or the loop cannot go on.
static PromptRead ReadCommandLine(KeyInput *input, Prompt *prompt)
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
                read = KeyInput_TakeTypedKeys(input, prompt);
                int waitMs = KeyInput_WaitMs(input);
                callAgain = waitMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(waitMs);
            }
        }
        if (read != PROMPT_READ_PENDING)
            return read;
        Waited waited = WaitOnce(isReadingKeys, isReadingKeys ? MsUntil(callAgain) : -1);
        if (s_failure != nullptr)
            return PROMPT_READ_LEAVE;
        if (waited.isStepTaken) {
            EngineLockGuard lock(g_EngineLock);
            KeyInput_FollowRecords(prompt);
        }
        isDue = waited.isKeyWaiting || Clock::now() >= callAgain;
    }
}

// The pause after each command, PAUSE_AFTER_COMMAND (0.1 s). Signals, due
// steps and output go on.
static void PauseAfterCommand()
{
    const Clock::time_point end = Clock::now() + PAUSE_AFTER_COMMAND;
    while (Clock::now() < end && s_failure == nullptr)
        WaitOnce(false, MsUntil(end));
}

// Measures the file of a long admission a slice a pass. The progress row
// shows once it has lasted a second; Esc abandons it, and every other key
// stays for the next prompt. Measuring and waiting for the measuring's
// second thread touch no record, so they run without the lock.
static void FollowAdmission(KeyInput *input)
{
    const Clock::time_point started = Clock::now();
    bool isProgressShown = false;
    bool isMeasured = false;
    bool isAbandoned = false;
    while (!isMeasured && !isAbandoned && s_failure == nullptr) {
        isMeasured = Printer_AdmitNextSlice();
        WaitOnce(false, 0);
        EngineLockGuard lock(g_EngineLock);
        MeasureProgress progress = Printer_AdmissionProgress();
        if (Clock::now() - started >= PROGRESS_AFTER && progress.fileBytes > 0) {
            uint64_t measured = std::min(progress.measuredBytes, progress.fileBytes);
            DrawMeasureProgress(static_cast<int>(measured * 100 / progress.fileBytes));
            isProgressShown = true;
        }
        isAbandoned = KeyInput_TakeEscapeKey(input);
    }
    if (!isMeasured)
        Printer_StopMeasuring();
    EngineLockGuard lock(g_EngineLock);
    if (isProgressShown)
        EraseMeasureProgress();
    if (isMeasured)
        Printer_FinishAdmission();
    else
        Printer_AbandonAdmission();
}

static void EchoIfAsked(const char *line)
{
    if (g_BuildSettings.echoesCommand)
        EchoCommand(line);
}

// Carries out a command line. A print command whose file takes longer to
// measure leaves its admission to FollowAdmission.
static void HandleCommandLine(KeyInput *input, const char *line)
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
    FollowAdmission(input);
    EngineLockGuard lock(g_EngineLock);
    EchoIfAsked(line);
}

LoopEnd RunCommandLoop()
{
    static KeyInput input;
    static Prompt prompt;
    KeyInput_Init(&input, STDIN_FILENO);
    Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
    Printer_SetSlicedAdmission(true);
    for (;;) {
        Prompt_StartLine(&prompt);
        {
            EngineLockGuard lock(g_EngineLock);
            DrawPrompt();
        }
        if (ReadCommandLine(&input, &prompt) == PROMPT_READ_LEAVE)
            return {s_failure};
        HandleCommandLine(&input, prompt.editor.bytes);
        PauseAfterCommand();
        if (s_failure != nullptr)
            return {s_failure};
    }
}
