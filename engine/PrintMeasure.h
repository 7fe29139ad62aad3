// The fast measuring of a print file for admission: the same counts as
// reading it print line by print line (MeasurePrintFile), at the speed of
// the disk cache rather than of one fgets call per line.
#pragma once

#include <cstdint>
#include <cstdio>

#include "engine/PrintLine.h"

constexpr uint64_t TWO_THREADS_FROM = uint64_t{4} << 20;  // file bytes worth a second thread

// How a file is measured. Admission takes the default; tests and benchmarks
// choose the threads and the split.
struct MeasurePlan {
    int threads;      // 1 or 2; 0: two from TWO_THREADS_FROM bytes on, else one
    int64_t splitAt;  // file offset from which the second half looks for a line start; -1: the middle
};
constexpr MeasurePlan DEFAULT_MEASURE_PLAN = {0, -1};

// Where a measuring in slices stands.
struct MeasureProgress {
    uint64_t measuredBytes;
    uint64_t fileBytes;  // 0 when the file is measured at once
};

// Measures from the stream's position to the end of the file in large
// blocks read straight from its descriptor, then leaves the stream
// positioned at the end, with nothing buffered. A stream that cannot be
// positioned (a pipe) is measured print line by print line instead. A read
// error stops the measuring and clears isReadable.
PrintMeasure MeasurePrintFileWith(FILE *input, const MeasurePlan &plan);
// The same with DEFAULT_MEASURE_PLAN.
PrintMeasure MeasurePrintFileInBlocks(FILE *input);

// The same measuring in slices, so that a caller's loop runs between them;
// one measuring at a time. A slice reads the file and touches no shared
// record. Start, then NextSlice until it returns true (or give up early),
// then Finish, which returns the counts; after giving up they mean nothing.
void PrintMeasure_Start(FILE *input, const MeasurePlan &plan);
// Measures about 4 MiB more, or waits for the second half for 20 ms at
// most. True when the whole file is measured.
bool PrintMeasure_NextSlice();
MeasureProgress PrintMeasure_Progress();
// Gives up the measuring: the second thread stops after the block it is
// reading, and this waits for it (a block of 128 KiB, unless the file
// itself is slow to read). It touches no shared record.
void PrintMeasure_Stop();
PrintMeasure PrintMeasure_Finish();

// Allocates the measuring buffers once (later calls do nothing). False when
// memory is short; measuring then goes print line by print line.
bool ReserveMeasureBuffers();
