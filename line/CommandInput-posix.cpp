// Reading standard input with read(2): a descriptor left non-blocking by
// whoever opened it is waited on with poll(2) rather than taken for the
// end of a line. Its flags are left alone, since other processes share them.
#include "line/CommandInput.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace linemode {

// Waits until the descriptor is readable, has hung up or failed; false
// when even waiting fails.
static bool WaitUntilReadable(int descriptor)
{
    struct pollfd watched = {descriptor, POLLIN, 0};
    while (poll(&watched, 1, -1) < 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

size_t ReadStandardInput(char *buffer, size_t size)
{
    for (;;) {
        ssize_t count = read(STDIN_FILENO, buffer, size);
        if (count >= 0)
            return static_cast<size_t>(count);
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitUntilReadable(STDIN_FILENO))
            continue;
        return 0;
    }
}

}  // namespace linemode
