// quillbay-measure [--plain | --threads=1|2] [--path=words|portable|sse2|avx2|neon] FILE:
// what admission measures of a file, with the block scanner (by default on
// the threads admission would use, and the fastest path) or (--plain)
// print line by print line.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/Arguments.h"
#include "engine/ByteScan.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"

static const char PROGRAM[] = "quillbay-measure";
static const char *const PATH_NAMES[SCAN_PATH_COUNT] = {"words", "portable", "sse2", "avx2", "neon"};  // by ScanPath

struct MeasureOptions {
    bool isPlain = false;
    MeasurePlan plan = DEFAULT_MEASURE_PLAN;
};

// The usage text, with the paths this build knows.
static std::string Usage()
{
    std::string paths;
    for (const char *name : PATH_NAMES)
        paths += std::string(paths.empty() ? "" : "|") + name;
    return "Usage: quillbay-measure [--plain | --threads=1|2] [--path=" + paths + "] FILE\n"
           "\n"
           "What admission measures of FILE: its reads, needInk and needPaper. By\n"
           "default with the block scanner, on the threads admission would use and\n"
           "the fastest path this processor has.\n"
           "\n"
           "Options:\n"
           "  --plain          print line by print line, the reference rule\n"
           "  --threads=1|2    the block scanner on one thread or two\n"
           "  --path=NAME      one path of the block scanner\n"
           "  -h, --help       show this text and exit\n";
}

// Takes one option. False when it is not one; a path this processor
// cannot run ends the program.
static bool TakeOption(const char *argument, MeasureOptions *options)
{
    if (strcmp(argument, "--plain") == 0)
        return options->isPlain = true;
    if (strcmp(argument, "--threads=1") == 0 || strcmp(argument, "--threads=2") == 0) {
        options->plan.threads = argument[10] - '0';
        return true;
    }
    for (int path = 0; path < SCAN_PATH_COUNT; path++) {
        if (strncmp(argument, "--path=", 7) != 0 || strcmp(argument + 7, PATH_NAMES[path]) != 0)
            continue;
        if (!ForceScanPath(static_cast<ScanPath>(path))) {
            fprintf(stderr, "%s: the %s path does not run on this processor\n", PROGRAM, argument + 7);
            exit(EXIT_FAILURE);
        }
        return true;
    }
    return false;
}

// Every argument is checked before the file is opened; the file's name.
static const char *ReadArguments(int argc, char **argv, MeasureOptions *options)
{
    for (int i = 1; i < argc; i++) {
        if (IsHelpArgument(argv[i]))
            ExitWithUsage(PROGRAM, Usage().c_str());
    }
    const char *path = nullptr;
    for (int i = 1; i < argc; i++) {
        bool isOption = IsOptionArgument(argv[i]);
        if (isOption ? !TakeOption(argv[i], options) : path != nullptr)
            RefuseArgument(PROGRAM, argv[i]);
        if (!isOption)
            path = argv[i];
    }
    if (path == nullptr) {
        fprintf(stderr, "%s: no FILE given\nTry '%s --help'.\n", PROGRAM, PROGRAM);
        exit(EXIT_BAD_ARGUMENTS);
    }
    return path;
}

int main(int argc, char **argv)
{
    MeasureOptions options;
    const char *path = ReadArguments(argc, argv, &options);
    FILE *input = fopen(path, "r");
    if (input == nullptr) {
        perror(path);
        return EXIT_FAILURE;
    }
    PrintMeasure measure = options.isPlain ? MeasurePrintFile(input) : MeasurePrintFileWith(input, options.plan);
    fclose(input);
    if (!measure.isReadable) {
        fprintf(stderr, "%s: read error\n", path);
        return EXIT_FAILURE;
    }
    printf("reads=%" PRIu64 " needInk=%" PRIu64 " needPaper=%" PRIu64 "\n", measure.reads, measure.ink,
           SheetsForReads(measure.reads));
    return EXIT_SUCCESS;
}
