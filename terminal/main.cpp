// The shared entry of the terminal programs: start-up, the command loop and
// the command selector.
#include "terminal/BuildSettings.h"

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "administration/Administrator.h"
#include "common/Text.h"
#include "engine/Printer.h"
#include "terminal/CommandSelector.h"
#include "terminal/EngineLock.h"
#include "terminal/LineEditor.h"
#include "terminal/SignalPipe.h"
#include "terminal/Signals.h"
#include "terminal/StartupLimits.h"
#include "terminal/Ticker.h"
#include "terminal/display.h"

BuildSettings g_BuildSettings;

constexpr auto PAUSE_AFTER_COMMAND = std::chrono::milliseconds(100);

int CommandSelector(const char *line)
{
    bool isEarlier = g_BuildSettings.grammar != GRAMMAR_CURRENT;
    if (StartsWithKeyword(line, "admin"))
        return AdminCommandParser(isEarlier ? LTrim(line + 5) : LTrim(line));
    if (StartsWithKeyword(line, "Printer"))
        return PrinterCommandParser(ADMINISTRATOR_USER_ID, LTrim(line + 7));
    return AdminCommandParser(isEarlier ? line : LTrim(line));
}

// Restores the terminal, says why and ends the program.
[[noreturn]] static void LeaveBecause(const char *reason)
{
    {
        EngineLockGuard lock(g_EngineLock);
        CloseDisplay();
    }
    fprintf(stderr, "%s: %s\n", g_BuildSettings.programName, reason);
    exit(EXIT_FAILURE);
}

// Feeds every key already typed to the editor. True when Enter ended the line.
static bool TakeTypedKeys(LineEditor *editor)
{
    bool isChanged = false;
    bool isRefused = false;
    for (CommandKey key = ReadCommandKey(); key.action != KEY_ACTION_NONE; key = ReadCommandKey()) {
        EditResult result = EDIT_UNCHANGED;
        switch (key.action) {
        case KEY_ACTION_INSERT: result = LineEditor_Insert(editor, key.character); break;
        case KEY_ACTION_ERASE: result = LineEditor_Erase(editor); break;
        case KEY_ACTION_ERASE_WORD: result = LineEditor_EraseWord(editor); break;
        case KEY_ACTION_KILL: result = LineEditor_Kill(editor); break;
        case KEY_ACTION_ENTER:
            if (isChanged)
                DrawCommandLine(editor);
            return true;
        case KEY_ACTION_IGNORE:
        case KEY_ACTION_NONE: break;
        }
        isChanged |= result == EDIT_CHANGED;
        isRefused |= result == EDIT_REFUSED;
    }
    if (isChanged)
        DrawCommandLine(editor);
    if (isRefused)
        Beep();  // once for a burst, not once per key of a long paste
    return false;
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

// Sleeps until a key is typed or a signal recorded something, then carries
// out what the signals asked for.
static void WaitForKeysOrTicks()
{
    struct pollfd fds[2] = {
        {STDIN_FILENO, POLLIN, 0},
        {SignalPipe_ReadFd(), POLLIN, 0},
    };
    if (poll(fds, 2, -1) < 0 && errno != EINTR)
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

static void ReadCommandLine(LineEditor *editor)
{
    for (;;) {
        {
            EngineLockGuard lock(g_EngineLock);
            if (TakeTypedKeys(editor))
                return;
        }
        WaitForKeysOrTicks();
    }
}

[[noreturn]] static void CommandLoop()
{
    static LineEditor editor;
    for (;;) {
        LineEditor_Clear(&editor);
        {
            EngineLockGuard lock(g_EngineLock);
            DrawPrompt();
        }
        ReadCommandLine(&editor);
        {
            EngineLockGuard lock(g_EngineLock);
            EndCommandInput();
            CommandSelector(editor.bytes);
            if (g_BuildSettings.echoesCommand)
                EchoCommand(editor.bytes);
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
