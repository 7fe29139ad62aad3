// Command lines of the line-mode program, gathered whole from standard
// input however it arrives: in pieces, a byte at a time, or from a
// descriptor that someone else made non-blocking.
#pragma once

#include <cstddef>

#include "common/Commands.h"

namespace linemode {

constexpr size_t COMMAND_BUFFER_SIZE = MAX_COMMAND_LINE_BYTES + 1;  // a command and its NUL
constexpr size_t INPUT_CHUNK_SIZE = 4096;     // bytes asked of one read

// The command line being gathered. Zero-filled, it is ready for the first.
struct CommandLineReader {
    char line[COMMAND_BUFFER_SIZE];  // the command so far, zero-filled past its end
    size_t length;                  // bytes in line
    bool isSkipping;                // dropping an over-long line's tail, up to its line feed
};

// Takes bytes from *position (not beyond end) into reader->line, moving
// *position past what it took. True when reader->line holds a whole
// command: a line without its line feed, or the first 2047 bytes of a
// longer line, whose tail is then dropped, however late it comes. False
// when every byte was taken and the line goes on.
bool TakeCommandBytes(CommandLineReader *reader, const char **position, const char *end);
// Empties reader->line for the next command; a skip under way goes on.
void ClearCommandLine(CommandLineReader *reader);

// Reads the next bytes of standard input into buffer, waiting for them
// however its descriptor is set. Returns how many were read; 0 means the
// end of the input or a read error that never clears: no more will come.
size_t ReadStandardInput(char *buffer, size_t size);

}  // namespace linemode
