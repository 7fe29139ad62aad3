#include "tests/support/Descriptors.h"

#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// The file a descriptor leads to; "" when it cannot be read.
static std::string DescriptorTarget(const char *descriptor)
{
    std::string link = std::string("/proc/self/fd/") + descriptor;
    char target[4096] = {};
    return readlink(link.c_str(), target, sizeof target - 1) > 0 ? target : "";
}

// The device of pipes, which are not files. Aborts when no pipe can be
// made, since no count could be trusted then.
static dev_t PipeDevice()
{
    static dev_t device = [] {
        int ends[2];
        struct stat status = {};
        if (pipe(ends) != 0 || fstat(ends[0], &status) != 0) {
            perror("cannot make a pipe to tell pipes from files");
            abort();
        }
        close(ends[0]);
        close(ends[1]);
        return status.st_dev;
    }();
    return device;
}

// Only descriptors of files count: the sanitizers open pipes to their
// symbolizer the first time they describe a new function. One poll finds the
// open descriptors, as reading /proc for every fuzz input would cost a path
// lookup per descriptor; they are looked at only when the set has changed.
int CountOpenDescriptors()
{
    constexpr int LOWEST_DESCRIPTORS = 256;  // a leak takes the lowest free number
    static std::bitset<LOWEST_DESCRIPTORS> s_lastOpen;
    static int s_lastCount = -1;
    struct pollfd descriptors[LOWEST_DESCRIPTORS];
    for (int fd = 0; fd < LOWEST_DESCRIPTORS; fd++)
        descriptors[fd] = {.fd = fd, .events = 0, .revents = 0};
    if (poll(descriptors, LOWEST_DESCRIPTORS, 0) < 0)
        return -1;
    std::bitset<LOWEST_DESCRIPTORS> open;
    for (int fd = 0; fd < LOWEST_DESCRIPTORS; fd++)
        open[fd] = (descriptors[fd].revents & POLLNVAL) == 0;
    if (open == s_lastOpen && s_lastCount >= 0)
        return s_lastCount;
    int count = 0;
    for (int fd = 0; fd < LOWEST_DESCRIPTORS; fd++) {
        struct stat status;
        if (!open[fd] || fstat(fd, &status) != 0)
            continue;
        bool isPipe = S_ISFIFO(status.st_mode) && status.st_dev == PipeDevice();
        if (!isPipe && !S_ISSOCK(status.st_mode))
            count++;
    }
    s_lastOpen = open;
    s_lastCount = count;
    return count;
}

void ListOpenDescriptors()
{
    DIR *directory = opendir("/proc/self/fd");
    if (directory == nullptr)
        return;
    while (struct dirent *entry = readdir(directory)) {
        if (entry->d_name[0] != '.')
            fprintf(stderr, "  descriptor %s: %s\n", entry->d_name, DescriptorTarget(entry->d_name).c_str());
    }
    closedir(directory);
}
