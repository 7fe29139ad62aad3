#include "terminal/TerminalProgram.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <unistd.h>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/StartupLimits.h"
#include "terminal/loop/EngineLock.h"
#include "terminal/loop/EventLoop.h"
#include "terminal/loop/SignalPipe.h"
#include "terminal/loop/Signals.h"
#include "terminal/loop/Ticker.h"
#include "terminal/screen/Screen.h"

// Restores the terminal, says why and ends the program with status 1. The
// engine lock stays held, so the worker thread draws nothing on the
// restored terminal.
[[noreturn]] static void LeaveBecause(const char *reason)
{
    g_EngineLock.lock();
    CloseDisplay();
    fprintf(stderr, "%s: %s\n", g_BuildSettings.programName, reason);
    exit(EXIT_FAILURE);
}

// Ends the program at the operator's request, with status 0: the terminal
// is restored and the current job's files closed. The engine lock stays
// held, so no engine step runs after them.
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
    CatchResizes();
    DisplayOpenResult result;
    {
        EngineLockGuard lock(g_EngineLock);
        result = InitDisplay();
    }
    if (result != DISPLAY_OPENED)
        return ReportDisplayFailure(result);
    std::set_terminate(LeaveOnTerminate);
    CatchProgramSignals();
    {
        EngineLockGuard lock(g_EngineLock);
        if (settings.greeting != nullptr)
            ShowGreeting(settings.greeting);
        InitAdmin();
        InitPrinter();
    }
    if (int error = SetDigitalClock(); error != 0)
        LeaveBecause((std::string("cannot start the engine thread: ") + strerror(error)).c_str());
    LoopEnd end = RunCommandLoop();
    if (end.failure != nullptr)
        LeaveBecause(end.failure);
    LeaveOnRequest();
}
