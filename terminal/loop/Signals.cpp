#include "terminal/loop/Signals.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

#include "terminal/loop/EngineLock.h"
#include "terminal/loop/SignalPipe.h"
#include "terminal/screen/Screen.h"

static const int LEAVE_SIGNALS[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

// The last end signal that came. Lock-free, so safe in a handler, and
// atomic, since the handler may run on the worker thread.
static std::atomic<int> s_leaveSignal;
static_assert(std::atomic<int>::is_always_lock_free);

static void NoteLeave(int signalNumber)
{
    s_leaveSignal = signalNumber;
    SignalPipe_Post(SIGNAL_EVENT_LEAVE);
}

static void NoteStop(int)
{
    SignalPipe_Post(SIGNAL_EVENT_STOP);
}

static void NoteResume(int)
{
    SignalPipe_Post(SIGNAL_EVENT_RESUME);
}

static void NoteResize(int)
{
    SignalPipe_Post(SIGNAL_EVENT_RESIZE);
}

void CatchResizes()
{
    CatchSignal(SIGWINCH, NoteResize);
}

void CatchProgramSignals()
{
    for (int signalNumber : LEAVE_SIGNALS)
        CatchSignal(signalNumber, NoteLeave);
    CatchSignal(SIGTSTP, NoteStop);
    CatchSignal(SIGCONT, NoteResume);
    signal(SIGXFSZ, SIG_IGN);
}

// Sends signalNumber to this process with its default action.
static void RaiseByDefault(int signalNumber)
{
    signal(signalNumber, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signalNumber);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signalNumber);
}

// The engine lock is kept for good: no step draws on the restored terminal.
[[noreturn]] static void LeaveBySignal(int signalNumber)
{
    g_EngineLock.lock();
    CloseDisplay();
    RaiseByDefault(signalNumber);
    _exit(128 + signalNumber);  // only if the signal did not end the program
}

// Gives the terminal back, stops until continued, then takes it again and
// draws the whole screen anew. The restoring bytes may wait on the
// terminal, so they go without the lock; the worker's steps go on
// meanwhile, drawing nothing until the screen is taken again.
static void StopUntilContinued()
{
    {
        EngineLockGuard lock(g_EngineLock);
        SuspendDisplay();
    }
    GiveTerminalBack();
    RaiseByDefault(SIGTSTP);
    CatchSignal(SIGTSTP, NoteStop);
    EngineLockGuard lock(g_EngineLock);
    ResumeDisplay();
}

void FollowProgramSignals(unsigned events)
{
    if (events & SIGNAL_EVENT_LEAVE)
        LeaveBySignal(s_leaveSignal.load());
    if (events & SIGNAL_EVENT_STOP) {
        StopUntilContinued();
    } else if (events & SIGNAL_EVENT_RESUME) {
        EngineLockGuard lock(g_EngineLock);
        ResumeDisplay();  // stopped from outside (SIGSTOP): the shell may have drawn over us
    }
}
