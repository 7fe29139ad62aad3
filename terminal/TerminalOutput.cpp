#include "terminal/TerminalOutput.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "common/Interrupted.h"

constexpr int CURSES_PIPE_SIZE = 1 << 20;  // bytes; a whole repaint is a few KiB
constexpr char CANCEL_SEQUENCE = '\x18';   // CAN

// ---------------------------------------------------------------- the buffer

void OutputBuffer_Add(OutputBuffer *buffer, const char *bytes, size_t count)
{
    if (buffer->isRepaintOwed)
        return;
    if (buffer->bytes.size() - buffer->sent + count > buffer->limit) {
        buffer->bytes.clear();
        buffer->sent = 0;
        buffer->isRepaintOwed = true;
        return;
    }
    buffer->bytes.append(bytes, count);
}

bool OutputBuffer_IsPending(const OutputBuffer *buffer)
{
    return buffer->sent < buffer->bytes.size();
}

bool OutputBuffer_WriteTo(OutputBuffer *buffer, int fd)
{
    while (OutputBuffer_IsPending(buffer)) {
        ssize_t count = RetryInterrupted(
            [&] { return write(fd, buffer->bytes.data() + buffer->sent, buffer->bytes.size() - buffer->sent); });
        if (count < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        buffer->sent += static_cast<size_t>(count);
    }
    buffer->bytes.clear();
    buffer->sent = 0;
    return true;
}

void OutputBuffer_BeginRepaint(OutputBuffer *buffer)
{
    buffer->isRepaintOwed = false;
    buffer->bytes.assign(1, CANCEL_SEQUENCE);
    buffer->sent = 0;
}

// ---------------------------------------------------------------- the terminal

static int s_pipe[2] = {-1, -1};  // curses writes into [1], the loop reads [0]
static int s_terminalFd = -1;     // the terminal, opened anew so that it alone is non-blocking
static int s_sharedFlags = -1;    // standard output's own flags, when it had to be made non-blocking
static OutputBuffer s_buffer = {{}, 0, TERMINAL_OUTPUT_LIMIT, false};

// Makes standard output non-blocking, or gives it its own flags back.
static void SetSharedNonBlocking(bool isNonBlocking)
{
    if (s_sharedFlags >= 0)
        fcntl(STDOUT_FILENO, F_SETFL, isNonBlocking ? s_sharedFlags | O_NONBLOCK : s_sharedFlags);
}

// A descriptor of its own for the terminal: O_NONBLOCK on standard output
// itself would change the file description that standard input and the
// shell share. A terminal the program may not open again (another user's)
// falls back on standard output, non-blocking while curses runs.
static int OpenTerminalForWriting()
{
    const char *name = ttyname(STDOUT_FILENO);
    int fd = name != nullptr ? open(name, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) : -1;
    if (fd >= 0)
        return fd;
    s_sharedFlags = fcntl(STDOUT_FILENO, F_GETFL);
    if (s_sharedFlags < 0)
        return -1;
    SetSharedNonBlocking(true);
    return STDOUT_FILENO;
}

FILE *TerminalOutput_Open()
{
    s_terminalFd = OpenTerminalForWriting();
    if (s_terminalFd < 0)
        return nullptr;
    if (pipe(s_pipe) != 0)
        return nullptr;
    for (int fd : s_pipe)
        fcntl(fd, F_SETFD, FD_CLOEXEC);  // pipe2 would do it at once, but not on every POSIX system
    fcntl(s_pipe[0], F_SETFL, O_NONBLOCK);
#ifdef F_SETPIPE_SZ  // Linux alone can enlarge a pipe; the default 64 KiB does too, with less room
    fcntl(s_pipe[1], F_SETPIPE_SZ, CURSES_PIPE_SIZE);
#endif
    return fdopen(s_pipe[1], "w");
}

int TerminalOutput_PipeFd()
{
    return s_pipe[0];
}

int TerminalOutput_TerminalFd()
{
    return s_terminalFd;
}

bool TerminalOutput_IsWaiting()
{
    return OutputBuffer_IsPending(&s_buffer) || s_buffer.isRepaintOwed;
}

// Moves what curses wrote into the buffer.
static void Collect()
{
    char bytes[16384];
    ssize_t count;
    while ((count = RetryInterrupted([&] { return read(s_pipe[0], bytes, sizeof bytes); })) > 0)
        OutputBuffer_Add(&s_buffer, bytes, static_cast<size_t>(count));
}

// True when the terminal would take output now.
static bool IsTerminalTaking()
{
    struct pollfd terminal = {s_terminalFd, POLLOUT, 0};
    return poll(&terminal, 1, 0) > 0 && (terminal.revents & POLLOUT);
}

bool TerminalOutput_Move()
{
    if (s_pipe[0] < 0)
        return false;
    Collect();
    OutputBuffer_WriteTo(&s_buffer, s_terminalFd);
    if (!s_buffer.isRepaintOwed || !IsTerminalTaking())
        return false;
    OutputBuffer_BeginRepaint(&s_buffer);
    return true;
}

void TerminalOutput_Add(const char *text)
{
    if (s_pipe[0] < 0)
        return;
    Collect();
    OutputBuffer_Add(&s_buffer, text, strlen(text));
}

bool TerminalOutput_IsPending()
{
    return OutputBuffer_IsPending(&s_buffer);
}

void TerminalOutput_StartLast()
{
    if (s_pipe[0] < 0)
        return;
    Collect();
    if (s_buffer.isRepaintOwed)
        OutputBuffer_BeginRepaint(&s_buffer);
}

void TerminalOutput_EndLast()
{
    s_buffer.bytes.clear();
    s_buffer.sent = 0;
    SetSharedNonBlocking(false);
}

void TerminalOutput_Resume()
{
    SetSharedNonBlocking(true);
}
