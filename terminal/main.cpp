// The shared entry of the terminal programs: start-up, the command loop and
// the command selector.
#include "terminal/TerminalProgram.h"

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "administration/Administrator.h"
#include "common/Text.h"
#include "engine/Printer.h"
#include "terminal/CommandSelector.h"
#include "terminal/EngineLock.h"
#include "terminal/Prompt.h"
#include "terminal/SignalPipe.h"
#include "terminal/Signals.h"
#include "terminal/StartupLimits.h"
#include "terminal/Ticker.h"
#include "terminal/display.h"

constexpr auto PAUSE_AFTER_COMMAND = std::chrono::milliseconds(100);

int CommandSelector(const char *line)
{
    bool isEarlier = g_BuildSettings.grammar != GRAMMAR_CURRENT;
    if (StartsWithKeyword(line, ADMIN_WORD))
        return AdminCommandParser(isEarlier ? LTrim(AfterKeyword(line, ADMIN_WORD)) : LTrim(line));
    if (StartsWithKeyword(line, PRINTER_WORD))
        return PrinterCommandParser(ADMINISTRATOR_USER_ID, LTrim(AfterKeyword(line, PRINTER_WORD)));
    return AdminCommandParser(isEarlier ? line : LTrim(line));
}

// Restores the terminal, says why and ends the program. The engine lock
// stays held, so the worker thread draws nothing on the restored terminal.
[[noreturn]] static void LeaveBecause(const char *reason)
{
    g_EngineLock.lock();
    CloseDisplay();
    fprintf(stderr, "%s: %s\n", g_BuildSettings.programName, reason);
    exit(EXIT_FAILURE);
}

// Ends the program at the operator's request: the terminal restored and the
// current job's files closed. The engine lock stays held, so no engine step
// runs after them.
[[noreturn]] static void LeaveOnRequest()
{
    g_EngineLock.lock();
    CloseDisplay();
    Printer_CloseCurrentJob();
    exit(EXIT_SUCCESS);
}

// What ends the program when memory runs out, or any other failure that
// nothing handles: the terminal restored first, then why. The engine lock
// may be held by the failing flow, so it is not taken here.
[[noreturn]] static void LeaveOnTerminate()
{
    CloseDisplay();
    const char *reason = "an unexpected failure";
    try {
        if (std::exception_ptr failure = std::current_exception())
            std::rethrow_exception(failure);
    } catch (const std::bad_alloc &) {
        reason = "out of memory";
    } catch (...) {
    }
    fprintf(stderr, "%s: %s\n", g_BuildSettings.programName, reason);
    abort();
}

// A hung-up terminal keeps poll() returning at once with nothing to read;
// waiting on it again would spin, so the program leaves instead.
static bool IsTerminalInputGone(short revents)
{
    if (revents & (POLLHUP | POLLERR | POLLNVAL))
        return true;
    int pending = 0;
    return (revents & POLLIN) && ioctl(STDIN_FILENO, FIONREAD, &pending) == 0 && pending == 0;
}

// Carries out what the signals recorded: a resize, an engine step.
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

// Sleeps until a key is typed (unless keys are to wait unread), a signal
// recorded something or `timeoutMs` passed (-1: no limit), then carries out
// what the signals asked for.
static void WaitForKeysOrTicks(bool isReadingKeys, int timeoutMs)
{
    struct pollfd fds[2] = {
        {STDIN_FILENO, static_cast<short>(isReadingKeys ? POLLIN : 0), 0},
        {SignalPipe_ReadFd(), POLLIN, 0},
    };
    if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR)
        LeaveBecause(strerror(errno));
    HandleSignalEvents();  // first: a hang-up's SIGHUP ends the program by that signal
    if (IsTerminalInputGone(fds[0].revents))
        LeaveBecause("the terminal is gone");
}

// The pause after each command. It waits on the signal pipe rather than in
// a sleep, so an engine step that falls due meanwhile still runs on time.
static void PauseAfterCommand()
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + PAUSE_AFTER_COMMAND;
    for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
        struct pollfd signals = {SignalPipe_ReadFd(), POLLIN, 0};
        int timeout = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(end - now).count());
        if (poll(&signals, 1, timeout) > 0)
            HandleSignalEvents();
    }
}

// Takes keys until a command line is entered. While the terminal is too
// small to show them, keys wait unread, so nothing runs unseen.
static void ReadCommandLine(Prompt *prompt)
{
    for (;;) {
        bool isReadingKeys;
        int timeoutMs = -1;
        PromptRead read = PROMPT_READ_PENDING;
        {
            EngineLockGuard lock(g_EngineLock);
            isReadingKeys = !IsDisplayHeldBack();
            if (isReadingKeys) {
                read = Prompt_TakeTypedKeys(prompt);
                timeoutMs = Prompt_InputWaitMs(prompt);
            }
        }
        if (read == PROMPT_READ_LEAVE)
            LeaveOnRequest();
        if (read == PROMPT_READ_ENTERED)
            return;
        WaitForKeysOrTicks(isReadingKeys, timeoutMs);
    }
}

[[noreturn]] static void CommandLoop()
{
    static Prompt prompt;
    Prompt_Init(&prompt);
    for (;;) {
        Prompt_StartLine(&prompt);
        {
            EngineLockGuard lock(g_EngineLock);
            DrawPrompt();
        }
        ReadCommandLine(&prompt);
        {
            EngineLockGuard lock(g_EngineLock);
            EndCommandInput();
            CommandSelector(prompt.editor.bytes);
            if (g_BuildSettings.echoesCommand)
                EchoCommand(prompt.editor.bytes);
        }
        PauseAfterCommand();
    }
}

static int ReportDisplayFailure(DisplayOpenResult result)
{
    const char *program = g_BuildSettings.programName;
    if (result == DISPLAY_TOO_SMALL) {
        int lines, columns;
        GetOpenedTerminalSize(&lines, &columns);
        fprintf(stderr, "%s: the terminal is %d columns by %d rows; it needs at least %d columns by %d rows\n",
                program, columns, lines, SCREEN_MIN_COLUMNS, SCREEN_MIN_LINES);
    } else {
        fprintf(stderr, "%s: cannot start curses on this terminal (TERM=%s)\n", program,
                getenv("TERM") ? getenv("TERM") : "");
    }
    return EXIT_FAILURE;
}

int RunTerminalProgram(const BuildSettings &settings)
{
    g_BuildSettings = settings;
    setlocale(LC_ALL, "");
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        fprintf(stderr, "%s: standard input and output must be a terminal\n", settings.programName);
        return EXIT_FAILURE;
    }
    if (!CheckStartupLimits(settings.programName))
        return EXIT_FAILURE;
    if (!SignalPipe_Open()) {
        fprintf(stderr, "%s: pipe: %s\n", settings.programName, strerror(errno));
        return EXIT_FAILURE;
    }
    DisplayOpenResult result;
    {
        EngineLockGuard lock(g_EngineLock);
        result = InitDisplay();
    }
    if (result != DISPLAY_OPENED)
        return ReportDisplayFailure(result);
    std::set_terminate(LeaveOnTerminate);
    CatchProgramSignals();
    if (settings.greeting != nullptr) {
        fputs(settings.greeting, stdout);
        fflush(stdout);
    }
    {
        EngineLockGuard lock(g_EngineLock);
        InitAdmin();
        InitPrinter();
    }
    if (int error = SetDigitalClock(); error != 0)
        LeaveBecause((std::string("cannot start the engine thread: ") + strerror(error)).c_str());
    CommandLoop();
}
