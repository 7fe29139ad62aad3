#include "terminal/loop/SignalPipe.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

static int s_pipe[2] = {-1, -1};

// Makes a descriptor non-blocking and closed across exec: pipe2, which does
// both at once, is missing from some POSIX systems.
static bool SetNonBlockingCloseOnExec(int fd)
{
    int flags = fcntl(fd, F_GETFL);
    int fdFlags = fcntl(fd, F_GETFD);
    return flags >= 0 && fdFlags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 &&
           fcntl(fd, F_SETFD, fdFlags | FD_CLOEXEC) == 0;
}

bool SignalPipe_Open()
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    if (!SetNonBlockingCloseOnExec(fds[0]) || !SetNonBlockingCloseOnExec(fds[1])) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    s_pipe[0] = fds[0];
    s_pipe[1] = fds[1];
    return true;
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
