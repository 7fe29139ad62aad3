// quillbay-measure [--plain] FILE: what admission measures of a file, with
// the block scanner or (--plain) print line by print line.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"

int main(int argc, char **argv)
{
    bool isPlain = argc == 3 && strcmp(argv[1], "--plain") == 0;
    if (argc != 2 && !isPlain) {
        fprintf(stderr, "usage: %s [--plain] FILE\n", argv[0]);
        return EXIT_FAILURE;
    }
    const char *path = argv[argc - 1];
    FILE *input = fopen(path, "r");
    if (input == nullptr) {
        perror(path);
        return EXIT_FAILURE;
    }
    PrintMeasure measure = isPlain ? MeasurePrintFile(input) : MeasurePrintFileInBlocks(input);
    fclose(input);
    if (!measure.isReadable) {
        fprintf(stderr, "%s: read error\n", path);
        return EXIT_FAILURE;
    }
    printf("reads=%" PRIu64 " needInk=%" PRIu64 " needPaper=%" PRIu64 "\n", measure.reads, measure.ink,
           SheetsForReads(measure.reads));
    return EXIT_SUCCESS;
}
