// The one rule by which a print file is read, for admission (measuring) and
// for printing alike, so that a job uses exactly what it was admitted with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/PrinterRecords.h"

// Reads one print line into line (LINE_BUFFER_SIZE bytes): at most 2047
// bytes up to and including a line feed; a read of 30 bytes or more is cut
// to its first 30 followed by CR LF. The print line is the text up to the
// first zero byte. Returns its length; 0 when the read met the end of file.
size_t ReadPrintLine(FILE *input, char *line);

// Ink units of a print line: its bytes that are not white space in the C
// locale (space, tab, LF, VT, FF, CR never count; 0x80 to 0xFF do).
uint32_t PrintLineInk(const char *line, size_t length);

// True once reading the stream can give nothing more: end of file, or an
// error that would otherwise make a reading loop spin for ever.
bool IsPrintInputDone(FILE *input);

// What admission measures: the number of reads up to the end of the file
// (the read that meets it included) and the ink of all the print lines.
struct PrintMeasure {
    uint64_t reads;
    uint64_t ink;
    bool isReadable;  // false when a read error stopped the measuring
};

// Measures from the stream's position to its end, leaving it at the end.
PrintMeasure MeasurePrintFile(FILE *input);

// Sheets for a number of reads: reads / 10 + 1.
uint64_t SheetsForReads(uint64_t reads);
