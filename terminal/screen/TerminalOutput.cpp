#include "terminal/screen/TerminalOutput.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <termios.h>
#include <unistd.h>

#include "common/Interrupted.h"

constexpr char CANCEL_SEQUENCE = '\x18';  // CAN
constexpr int64_t OUTPUT_PACE_SLOT_MS = OUTPUT_PACE_MS / OUTPUT_PACE_SLOTS;
constexpr size_t COLLECT_CHUNK_BYTES = 16384;

static int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------- the pace

static void ForgetPace(OutputPace *pace)
{
    std::fill(std::begin(pace->slotStarts), std::end(pace->slotStarts), INT64_MIN);
    std::fill(std::begin(pace->slotBytes), std::end(pace->slotBytes), size_t{0});
}

static void NoteTaken(OutputPace *pace, size_t count, int64_t nowMs)
{
    int64_t start = nowMs - nowMs % OUTPUT_PACE_SLOT_MS;
    int slot = static_cast<int>((nowMs / OUTPUT_PACE_SLOT_MS) % OUTPUT_PACE_SLOTS);
    if (pace->slotStarts[slot] != start) {
        pace->slotStarts[slot] = start;
        pace->slotBytes[slot] = 0;
    }
    pace->slotBytes[slot] += count;
}

static size_t TakenLately(const OutputPace *pace, int64_t nowMs)
{
    size_t taken = 0;
    for (int slot = 0; slot < OUTPUT_PACE_SLOTS; slot++) {
        if (pace->slotStarts[slot] > nowMs - OUTPUT_PACE_MS && pace->slotStarts[slot] <= nowMs)
            taken += pace->slotBytes[slot];
    }
    return taken;
}

// ---------------------------------------------------------------- the buffer

void OutputBuffer_Init(OutputBuffer *buffer, size_t floor, size_t ceiling)
{
    buffer->bytes.clear();
    buffer->sent = 0;
    buffer->floor = floor;
    buffer->ceiling = ceiling;
    ForgetPace(&buffer->pace);
    buffer->isRepaintOwed = false;
}

size_t OutputBuffer_Limit(const OutputBuffer *buffer, int64_t nowMs)
{
    return std::min(std::max(TakenLately(&buffer->pace, nowMs), buffer->floor), buffer->ceiling);
}

static void Empty(OutputBuffer *buffer)
{
    buffer->bytes.clear();
    buffer->sent = 0;
}

void OutputBuffer_Add(OutputBuffer *buffer, const char *bytes, size_t count, int64_t nowMs)
{
    if (buffer->isRepaintOwed)
        return;
    size_t pending = buffer->bytes.size() - buffer->sent;
    if (pending > 0 && pending + count > OutputBuffer_Limit(buffer, nowMs)) {
        Empty(buffer);
        buffer->isRepaintOwed = true;
        return;
    }
    if (buffer->sent >= pending) {  // what was sent goes, so the string never outgrows the queue twice over
        buffer->bytes.erase(0, buffer->sent);
        buffer->sent = 0;
    }
    buffer->bytes.append(bytes, count);
}

bool OutputBuffer_IsPending(const OutputBuffer *buffer)
{
    return buffer->sent < buffer->bytes.size();
}

bool OutputBuffer_WriteTo(OutputBuffer *buffer, int fd, int64_t nowMs)
{
    while (OutputBuffer_IsPending(buffer)) {
        ssize_t count = RetryInterrupted(
            [&] { return write(fd, buffer->bytes.data() + buffer->sent, buffer->bytes.size() - buffer->sent); });
        if (count < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        buffer->sent += static_cast<size_t>(count);
        NoteTaken(&buffer->pace, static_cast<size_t>(count), nowMs);
    }
    Empty(buffer);
    return true;
}

void OutputBuffer_BeginRepaint(OutputBuffer *buffer)
{
    buffer->isRepaintOwed = false;
    buffer->bytes.assign(1, CANCEL_SEQUENCE);
    buffer->sent = 0;
}

// ---------------------------------------------------------------- the terminal

static int s_cursesFd = -1;     // the memory file curses writes into
static int s_terminalFd = -1;   // the terminal, opened anew so that it alone is non-blocking
static int s_sharedFlags = -1;  // standard output's own flags, when it had to be made non-blocking
static OutputBuffer s_buffer = {{}, 0, 0, TERMINAL_OUTPUT_CEILING, {}, false};

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

// A file that lives in memory and is gone when the program ends: a shared
// memory object unlinked at once, or, where there is none, an unlinked
// file in the temporary directory. A write into it never blocks and never
// fills, whatever the terminal does.
static int OpenMemoryFile()
{
    char name[64];
    for (int attempt = 0; attempt < 16; attempt++) {
        snprintf(name, sizeof name, "/quillbay-output-%ld-%d", static_cast<long>(getpid()), attempt);
        int fd = shm_open(name, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            shm_unlink(name);
            return fd;
        }
        if (errno != EEXIST)
            break;
    }
    const char *directory = getenv("TMPDIR");
    std::string path = std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") +
                       "/quillbay-output-XXXXXX";
    int fd = mkstemp(path.data());
    if (fd < 0)
        return -1;
    unlink(path.c_str());
    fcntl(fd, F_SETFD, FD_CLOEXEC);
    return fd;
}

FILE *TerminalOutput_Open()
{
    s_terminalFd = OpenTerminalForWriting();
    if (s_terminalFd < 0)
        return nullptr;
    s_cursesFd = OpenMemoryFile();
    if (s_cursesFd < 0)
        return nullptr;
    OutputBuffer_Init(&s_buffer, s_buffer.floor, TERMINAL_OUTPUT_CEILING);
    return fdopen(s_cursesFd, "w");
}

int TerminalOutput_TerminalFd()
{
    return s_terminalFd;
}

bool TerminalOutput_IsWaiting()
{
    return OutputBuffer_IsPending(&s_buffer) || s_buffer.isRepaintOwed;
}

void TerminalOutput_SetScreenSize(int screenLines, int screenColumns)
{
    s_buffer.floor = static_cast<size_t>(std::max(screenLines, 1)) * static_cast<size_t>(std::max(screenColumns, 1));
}

// Empties the memory file; curses writes from its start again.
static void EmptyCursesFile()
{
    if (ftruncate(s_cursesFd, 0) == 0)
        lseek(s_cursesFd, 0, SEEK_SET);
}

// Moves what curses wrote into the queue. While a repaint is owed it would
// be dropped, so it is not even read.
static void Collect(int64_t nowMs)
{
    off_t end = lseek(s_cursesFd, 0, SEEK_CUR);
    char chunk[COLLECT_CHUNK_BYTES];
    for (off_t at = 0; at < end && !s_buffer.isRepaintOwed;) {
        size_t wanted = static_cast<size_t>(std::min<off_t>(end - at, sizeof chunk));
        ssize_t count = RetryInterrupted([&] { return pread(s_cursesFd, chunk, wanted, at); });
        if (count <= 0)
            break;
        OutputBuffer_Add(&s_buffer, chunk, static_cast<size_t>(count), nowMs);
        at += count;
    }
    if (end > 0)
        EmptyCursesFile();
}

// True when the terminal would take output now.
static bool IsTerminalTaking()
{
    struct pollfd terminal = {s_terminalFd, POLLOUT, 0};
    return poll(&terminal, 1, 0) > 0 && (terminal.revents & POLLOUT);
}

bool TerminalOutput_Move()
{
    if (s_cursesFd < 0)
        return false;
    int64_t nowMs = NowMs();
    Collect(nowMs);
    OutputBuffer_WriteTo(&s_buffer, s_terminalFd, nowMs);
    if (!s_buffer.isRepaintOwed || !IsTerminalTaking())
        return false;
    OutputBuffer_BeginRepaint(&s_buffer);
    return true;
}

void TerminalOutput_Add(const char *text)
{
    if (s_cursesFd < 0)
        return;
    int64_t nowMs = NowMs();
    Collect(nowMs);
    OutputBuffer_Add(&s_buffer, text, strlen(text), nowMs);
}

// Writes all of `bytes`, waiting for the terminal until `deadlineMs`. Output
// stopped from outside (tcflow) would take nothing at all, so it is started
// again once: the restoring bytes must reach the terminal before the shell
// writes there.
static void WriteUntil(const std::string &bytes, int64_t deadlineMs)
{
    bool isRestarted = false;
    for (size_t sent = 0; sent < bytes.size();) {
        ssize_t count = RetryInterrupted([&] { return write(s_terminalFd, bytes.data() + sent, bytes.size() - sent); });
        if (count > 0) {
            sent += static_cast<size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return;
        if (!isRestarted) {
            tcflow(s_terminalFd, TCOON);
            isRestarted = true;
            continue;
        }
        int64_t left = deadlineMs - NowMs();
        struct pollfd terminal = {s_terminalFd, POLLOUT, 0};
        if (left <= 0 || poll(&terminal, 1, static_cast<int>(left)) <= 0)
            return;
    }
}

void TerminalOutput_Drop()
{
    if (s_cursesFd < 0)
        return;
    EmptyCursesFile();
    Empty(&s_buffer);
    s_buffer.isRepaintOwed = false;
    tcflush(s_terminalFd, TCOFLUSH);
}

void TerminalOutput_SendRestore(const std::string &restore)
{
    if (s_cursesFd < 0)
        return;
    WriteUntil(restore, NowMs() + TERMINAL_RESTORE_MS);
    SetSharedNonBlocking(false);
}

void TerminalOutput_Resume()
{
    SetSharedNonBlocking(true);
}
