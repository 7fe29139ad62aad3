// What the command languages of every program share: who the administrator
// is, how long a command line may be, and the shape of a row of a command
// table.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int32_t ADMINISTRATOR_USER_ID = -1;  // user identifier of the administrator
constexpr size_t MAX_COMMAND_LINE_BYTES = 2047;  // bytes of one command line, its NUL left out

// One command: the keyword the parser matches and, for help and completion,
// what follows it. `Code` is the command's constant, which a switch calls on.
template <typename Code>
struct CommandRow {
    const char *keyword;    // matched as a prefix, letter case ignored
    Code command;
    const char *arguments;  // what follows the keyword, as help shows it
    const char *example;    // one example of the arguments
    const char *summary;    // what the command does, in a few words
};
