#include "engine/PrintLine.h"

#include <cstring>

size_t ReadPrintLine(FILE *input, char *line)
{
    memset(line, 0, LINE_BUFFER_SIZE);
    if (fgets(line, LINE_BUFFER_SIZE, input) == nullptr)
        line[0] = '\0';  // fgets leaves the buffer unspecified on a read error
    line[PRINT_LINE_WIDTH] = '\r';
    line[PRINT_LINE_WIDTH + 1] = '\n';
    line[PRINT_LINE_WIDTH + 2] = '\0';
    return strlen(line);
}

uint32_t PrintLineInk(const char *line, size_t length)
{
    uint32_t ink = 0;
    for (size_t i = 0; i < length; i++) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        bool isWhiteSpace = c == ' ' || (c >= '\t' && c <= '\r');
        ink += isWhiteSpace ? 0 : 1;
    }
    return ink;
}

bool IsPrintInputDone(FILE *input)
{
    return feof(input) || ferror(input);
}

PrintMeasure MeasurePrintFile(FILE *input)
{
    PrintMeasure measure = {0, 0, true};
    char line[LINE_BUFFER_SIZE];
    while (!IsPrintInputDone(input)) {
        size_t length = ReadPrintLine(input, line);
        measure.ink += PrintLineInk(line, length);
        measure.reads++;
    }
    measure.isReadable = !ferror(input);
    return measure;
}

uint64_t SheetsForReads(uint64_t reads)
{
    return reads / LINES_PER_PAGE + 1;
}
