#include "terminal/StartupLimits.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>

#include "engine/PrintMeasure.h"
#include "engine/PrinterRecords.h"

// What the program opens beyond the descriptors it started with.
constexpr rlim_t SIGNAL_PIPE_DESCRIPTORS = 2;
constexpr rlim_t TERMINAL_OUTPUT_DESCRIPTORS = 2;  // the memory file curses writes into, the terminal for writing
constexpr rlim_t CURRENT_JOB_DESCRIPTORS = 3;  // input, output, and a remade output while copying
constexpr rlim_t DESCRIPTOR_MARGIN = 4;        // terminal database, locale, the tty
constexpr rlim_t GENEROUS_LIMIT = 4096;        // above it, enough without counting

// Descriptors open now (the standard streams, and any the parent passed on),
// counted up to the current soft limit.
static rlim_t CountOpenDescriptors(rlim_t limit)
{
    rlim_t count = 0;
    for (rlim_t fd = 0; fd < limit; fd++)
        count += fcntl(static_cast<int>(fd), F_GETFD) != -1 ? 1 : 0;
    return count;
}

// True when enough descriptors may be open; otherwise false with the
// reason in message (size bytes).
static bool EnsureDescriptorLimit(char *message, size_t size)
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return true;  // nothing known to check against
    rlim_t fixed = SIGNAL_PIPE_DESCRIPTORS + TERMINAL_OUTPUT_DESCRIPTORS + MAX_WAIT_JOBS + CURRENT_JOB_DESCRIPTORS +
                   DESCRIPTOR_MARGIN;
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > GENEROUS_LIMIT)
        return true;
    rlim_t needed = CountOpenDescriptors(limit.rlim_cur) + fixed;
    if (limit.rlim_cur >= needed)
        return true;
    if (limit.rlim_max == RLIM_INFINITY || limit.rlim_max >= needed) {
        struct rlimit raised = {needed, limit.rlim_max};
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            return true;
    }
    snprintf(message, size, "the descriptor limit (ulimit -n) is %llu; the program needs %llu",
             static_cast<unsigned long long>(limit.rlim_cur), static_cast<unsigned long long>(needed));
    return false;
}

bool CheckStartupLimits(const char *programName)
{
    char reason[MESSAGE_BUFFER_SIZE] = {};
    if (!EnsureDescriptorLimit(reason, sizeof reason)) {
        fprintf(stderr, "%s: %s\n", programName, reason);
        return false;
    }
    // Without them (memory short) large files are measured line by line.
    ReserveMeasureBuffers();
    return true;
}
