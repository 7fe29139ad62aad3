// quillbay-make-text [--force] FILE [LINES]: writes the benchmarks' print file.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "bench/BenchText.h"
#include "common/Arguments.h"

static const char PROGRAM[] = "quillbay-make-text";
static const char USAGE[] =
    "Usage: quillbay-make-text [--force] FILE [LINES]\n"
    "\n"
    "Writes the benchmarks' print file: LINES lines (12000000 by default) of\n"
    "printable text, 65 bytes a line on average, the same bytes on every run.\n"
    "An existing FILE is left alone unless --force is given.\n"
    "\n"
    "Options:\n"
    "  --force      write over an existing FILE\n"
    "  -h, --help   show this text and exit\n";

struct MakeTextArguments {
    bool isForced = false;
    const char *path = nullptr;
    uint64_t lines = BENCH_TEXT_LINES;
};

// A count of decimal digits alone; false for anything else.
static bool ReadCount(const char *text, uint64_t *count)
{
    char *end;
    errno = 0;
    *count = strtoull(text, &end, 10);
    return text[0] >= '0' && text[0] <= '9' && *end == '\0' && errno == 0;
}

// Every argument is checked before anything is written.
static MakeTextArguments ReadArguments(int argc, char **argv)
{
    MakeTextArguments arguments;
    int operands = 0;
    for (int i = 1; i < argc; i++) {
        if (IsHelpArgument(argv[i]))
            ExitWithUsage(PROGRAM, USAGE);
    }
    for (int i = 1; i < argc; i++) {
        const char *argument = argv[i];
        if (strcmp(argument, "--force") == 0) {
            arguments.isForced = true;
            continue;
        }
        bool isOperand = !IsOptionArgument(argument) &&
                         (operands == 0 || (operands == 1 && ReadCount(argument, &arguments.lines)));
        if (!isOperand)
            RefuseArgument(PROGRAM, argument);
        if (operands++ == 0)
            arguments.path = argument;
    }
    if (arguments.path == nullptr) {
        fprintf(stderr, "%s: no FILE given\nTry '%s --help'.\n", PROGRAM, PROGRAM);
        exit(EXIT_BAD_ARGUMENTS);
    }
    return arguments;
}

int main(int argc, char **argv)
{
    MakeTextArguments arguments = ReadArguments(argc, argv);
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (arguments.isForced ? O_TRUNC : O_EXCL);
    int fd = open(arguments.path, flags, 0644);
    if (fd < 0 && errno == EEXIST) {
        fprintf(stderr, "%s: %s exists; --force writes over it\n", PROGRAM, arguments.path);
        return EXIT_FAILURE;
    }
    FILE *output = fd >= 0 ? fdopen(fd, "w") : nullptr;
    if (output == nullptr || !WriteBenchText(output, arguments.lines) || fclose(output) != 0) {
        fprintf(stderr, "%s: %s: %s\n", PROGRAM, arguments.path, strerror(errno));
        if (fd >= 0)
            unlink(arguments.path);  // a file cut short would pass for the real one
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
