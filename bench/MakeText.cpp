// quillbay-make-text FILE [LINES]: writes the benchmarks' print file.
#include <cstdio>
#include <cstdlib>

#include "bench/BenchText.h"

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: %s FILE [LINES]\n", argv[0]);
        return EXIT_FAILURE;
    }
    uint64_t lines = argc == 3 ? strtoull(argv[2], nullptr, 10) : BENCH_TEXT_LINES;
    FILE *output = fopen(argv[1], "w");
    if (output == nullptr || !WriteBenchText(output, lines) || fclose(output) != 0) {
        perror(argv[1]);
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
