// The command-line arguments every program takes: -h/--help and
// -V/--version. Without arguments a program starts as it always has.
#pragma once

#include <string>
#include <vector>

// What a program tells about itself on its command line.
struct ProgramUsage {
    const char *name;                          // in the version line and in errors
    std::vector<std::string> sections;         // the usage text after its first line, in order
};

// The options above as a usage text shows them, a section of its own.
extern const char OPTIONS_USAGE[];

// Exit status for a command line the program does not take.
constexpr int EXIT_BAD_ARGUMENTS = 2;

// Reads the command line. Returns only when there are no arguments; any
// argument ends the process: the usage text or the version on standard
// output (status 0, or 1 when that output cannot be written), or an error
// naming the argument on standard error (status 2). Nothing else is started.
void HandleProgramArguments(int argc, char **argv, const ProgramUsage &usage);

// For the tools that take arguments of their own (the benchmarks' and the
// tests'), the same answers, given before anything is created:
// True for -h and --help.
bool IsHelpArgument(const char *argument);
// True for an argument that begins with '-' (but "-" alone).
bool IsOptionArgument(const char *argument);
// Writes `usage` on standard output; status 0, or 1 when it cannot be written.
[[noreturn]] void ExitWithUsage(const char *program, const char *usage);
// An error naming the argument on standard error; status 2.
[[noreturn]] void RefuseArgument(const char *program, const char *argument);
