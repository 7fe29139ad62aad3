// The current job's output file under PRINT. A sheet counts only once all
// its bytes are in the file and the file is still linked under PRINT: a
// failed write is cut back to the last whole sheet and tried again on the
// next tick, and a file removed meanwhile is made again with every sheet
// printed so far. Problems go to the error row; nothing here draws.
#pragma once

#include <cstddef>
#include <cstdio>
#include <sys/types.h>

#include "engine/PrinterRecords.h"

// Bytes of one sheet at most: LINES_PER_PAGE print lines of 30 characters
// and CR LF.
constexpr size_t SHEET_BUFFER_SIZE = LINES_PER_PAGE * (PRINT_LINE_WIDTH + 2);

// The two calls by which sheets reach the disk. Tests put in a write that
// fails on a chosen call.
struct OutputFileCalls {
    ssize_t (*write)(int fd, const void *data, size_t size, off_t offset);  // as pwrite
    int (*truncate)(int fd, off_t length);                                  // as ftruncate
};
extern OutputFileCalls g_OutputFileCalls;

// Makes the PRINT directory, where every job's output goes, with the mode
// of the build settings. 0, or the errno of the mkdir.
int MakePrintDirectory();
// Creates the output file of a job starting now, named after the local
// time with "-N" when the name is taken, and makes it the current output.
// PRINT is made again if it went missing. NULL (errno set) when it cannot.
FILE *OutputFile_Start();

// Writes one sheet of the job after its last whole sheet. True once all of
// it is in a file still linked under PRINT. Otherwise the error row says
// why, the file ends at the last whole sheet again, and the caller must
// give the same sheet on a later tick.
bool OutputFile_WriteSheet(PrintJob *job, const char *sheet, size_t size);
