#include "line/CommandInput.h"

#include <cstring>

namespace linemode {

// Drops bytes up to and including the next line feed; true when it came.
static bool SkipToLineEnd(const char **position, const char *end)
{
    const void *lineFeed = memchr(*position, '\n', static_cast<size_t>(end - *position));
    if (lineFeed == nullptr) {
        *position = end;
        return false;
    }
    *position = static_cast<const char *>(lineFeed) + 1;
    return true;
}

bool TakeCommandBytes(CommandLineReader *reader, const char **position, const char *end)
{
    if (reader->isSkipping && !SkipToLineEnd(position, end))
        return false;
    reader->isSkipping = false;
    while (*position < end) {
        char byte = *(*position)++;
        if (byte == '\n')
            return true;
        reader->line[reader->length++] = byte;
        if (reader->length == COMMAND_BUFFER_SIZE - 1) {
            // The command is complete; whatever follows up to the line
            // feed belongs to this line and must never run.
            reader->isSkipping = true;
            return true;
        }
    }
    return false;
}

void ClearCommandLine(CommandLineReader *reader)
{
    memset(reader->line, 0, sizeof reader->line);
    reader->length = 0;
}

}  // namespace linemode
