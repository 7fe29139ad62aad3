#include "terminal/SignalPipe.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

static int s_pipe[2] = {-1, -1};

bool SignalPipe_Open()
{
    return pipe2(s_pipe, O_NONBLOCK | O_CLOEXEC) == 0;
}

int SignalPipe_ReadFd()
{
    return s_pipe[0];
}

void SignalPipe_Post(SignalEvent event)
{
    int savedErrno = errno;
    unsigned char byte = static_cast<unsigned char>(event);
    // A full pipe already holds a wake-up; the lost byte changes nothing.
    ssize_t written = write(s_pipe[1], &byte, 1);
    (void)written;
    errno = savedErrno;
}

void CatchSignal(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signalNumber, &action, nullptr);
}

unsigned SignalPipe_Drain()
{
    unsigned events = 0;
    unsigned char bytes[64];
    ssize_t count;
    while ((count = read(s_pipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; i++)
            events |= bytes[i];
    }
    return events;
}
