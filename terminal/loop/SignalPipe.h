// A self-pipe through which signal handlers (and the worker thread) tell
// the command loop that something happened. A handler only writes one byte; the loop, woken by
// poll(), drains the pipe and acts outside any handler.
#pragma once

enum SignalEvent : unsigned {
    SIGNAL_EVENT_TICK = 1u << 0,    // the engine's alarm went off
    SIGNAL_EVENT_RESIZE = 1u << 1,  // the terminal changed size
    SIGNAL_EVENT_STOP = 1u << 2,    // suspend asked for (SIGTSTP)
    SIGNAL_EVENT_RESUME = 1u << 3,  // continued from a stop (SIGCONT)
    SIGNAL_EVENT_LEAVE = 1u << 4,   // end asked for (SIGHUP, SIGINT, SIGQUIT, SIGTERM)
    SIGNAL_EVENT_DRAWN = 1u << 5,   // the worker thread drew: its output waits to be moved
};

// Creates the pipe, non-blocking at both ends. False when it cannot.
bool SignalPipe_Open();
// The end to poll for reading; -1 before SignalPipe_Open.
int SignalPipe_ReadFd();
// Records an event. Async-signal-safe; keeps errno.
void SignalPipe_Post(SignalEvent event);
// Empties the pipe and returns the events recorded since the last call.
unsigned SignalPipe_Drain();
// Installs a handler that stays installed across deliveries; interrupted
// system calls other than the waits restart.
void CatchSignal(int signalNumber, void (*handler)(int));
