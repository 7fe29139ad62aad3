// Reading standard input with the C library only, for platforms without
// POSIX: fgets returns at a line feed, so a line typed at a console is
// taken as soon as it is entered.
#include "line/CommandInput.h"

#include <cstdio>
#include <cstring>

namespace linemode {

size_t ReadStandardInput(char *buffer, size_t size)
{
    // Zero-filled first, so that a line feed found is one that was read.
    memset(buffer, 0, size);
    if (fgets(buffer, static_cast<int>(size), stdin) == nullptr)
        return 0;
    const char *lineFeed = static_cast<const char *>(memchr(buffer, '\n', size));
    return lineFeed != nullptr ? static_cast<size_t>(lineFeed - buffer) + 1 : strlen(buffer);
}

}  // namespace linemode
