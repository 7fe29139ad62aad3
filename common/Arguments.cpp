#include "common/Arguments.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef QUILLBAY_VERSION
#error "QUILLBAY_VERSION comes from the project's version in CMake"
#endif

const char OPTIONS_USAGE[] =
    "\n"
    "Options:\n"
    "  -h, --help      show this text and exit\n"
    "  -V, --version   show the program's name and version and exit\n";

enum ArgumentAction {
    ARGUMENT_HELP,
    ARGUMENT_VERSION,
    ARGUMENT_UNKNOWN,
};

static const struct {
    const char *spelling;
    ArgumentAction action;
} ARGUMENTS[] = {
    {"-h", ARGUMENT_HELP},
    {"--help", ARGUMENT_HELP},
    {"-V", ARGUMENT_VERSION},
    {"--version", ARGUMENT_VERSION},
};

static ArgumentAction FindArgumentAction(const char *argument)
{
    for (const auto &row : ARGUMENTS) {
        if (strcmp(argument, row.spelling) == 0)
            return row.action;
    }
    return ARGUMENT_UNKNOWN;
}

// Writes an argument as typed, but with control characters as '?', so that
// an escape sequence pasted by mistake cannot act on the terminal.
static void PrintArgumentSafely(const char *argument)
{
    for (const unsigned char *byte = reinterpret_cast<const unsigned char *>(argument); *byte != '\0'; byte++)
        fputc(*byte < 0x20 || *byte == 0x7f ? '?' : *byte, stderr);
}

void RefuseArgument(const char *program, const char *argument)
{
    fprintf(stderr, "%s: %s '", program, argument[0] == '-' ? "unknown option" : "unexpected argument");
    PrintArgumentSafely(argument);
    fprintf(stderr, "'\nTry '%s --help'.\n", program);
    exit(EXIT_BAD_ARGUMENTS);
}

bool IsHelpArgument(const char *argument)
{
    return FindArgumentAction(argument) == ARGUMENT_HELP;
}

bool IsOptionArgument(const char *argument)
{
    return argument[0] == '-' && argument[1] != '\0';
}

// Ends the process after writing to standard output: 0 when everything
// reached it, 1 with a message when it did not (a full disk, a closed pipe).
[[noreturn]] static void ExitAfterOutput(const char *program)
{
    if (fflush(stdout) != 0 || ferror(stdout)) {
        fprintf(stderr, "%s: cannot write to standard output: %s\n", program, strerror(errno));
        exit(EXIT_FAILURE);
    }
    exit(EXIT_SUCCESS);
}

void HandleProgramArguments(int argc, char **argv, const ProgramUsage &usage)
{
    if (argc < 2)
        return;
    // Every argument is checked before any is acted on: a mistyped one is
    // reported even beside --help.
    for (int i = 1; i < argc; i++) {
        if (FindArgumentAction(argv[i]) == ARGUMENT_UNKNOWN)
            RefuseArgument(usage.name, argv[i]);
    }
    if (FindArgumentAction(argv[1]) == ARGUMENT_VERSION) {
        printf("%s %s\n", usage.name, QUILLBAY_VERSION);
    } else {
        printf("Usage: %s [-h | --help | -V | --version]\n\n", usage.name);
        for (const std::string &section : usage.sections)
            fputs(section.c_str(), stdout);
    }
    ExitAfterOutput(usage.name);
}

void ExitWithUsage(const char *program, const char *usage)
{
    fputs(usage, stdout);
    ExitAfterOutput(program);
}
