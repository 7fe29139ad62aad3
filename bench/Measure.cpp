// quillbay-measure [--plain | --threads=1|2] [--path=words|portable|sse2|avx2|neon] FILE:
// what admission measures of a file, with the block scanner (by default on
// the threads admission would use, and the fastest path) or (--plain)
// print line by print line.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/ByteScan.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"

static const char *const PATH_NAMES[SCAN_PATH_COUNT] = {"words", "portable", "sse2", "avx2", "neon"};  // by ScanPath

struct MeasureOptions {
    bool isPlain = false;
    MeasurePlan plan = DEFAULT_MEASURE_PLAN;
};

// Takes one option. False when it is not one.
static bool TakeOption(const char *argument, MeasureOptions *options)
{
    if (strcmp(argument, "--plain") == 0)
        return options->isPlain = true;
    if (strcmp(argument, "--threads=1") == 0 || strcmp(argument, "--threads=2") == 0) {
        options->plan.threads = argument[10] - '0';
        return true;
    }
    for (int path = 0; path < SCAN_PATH_COUNT; path++) {
        if (strncmp(argument, "--path=", 7) == 0 && strcmp(argument + 7, PATH_NAMES[path]) == 0)
            return ForceScanPath(static_cast<ScanPath>(path)) || (fprintf(stderr, "no %s here\n", argument + 7), false);
    }
    return false;
}

int main(int argc, char **argv)
{
    MeasureOptions options;
    bool isUsable = argc >= 2;
    for (int i = 1; i < argc - 1 && isUsable; i++)
        isUsable = TakeOption(argv[i], &options);
    if (!isUsable) {
        fprintf(stderr, "usage: %s [--plain | --threads=1|2] [--path=words|portable|sse2|avx2|neon] FILE\n", argv[0]);
        return EXIT_FAILURE;
    }
    const char *path = argv[argc - 1];
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
