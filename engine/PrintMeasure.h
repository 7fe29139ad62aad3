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
    bool isReported;  // a file of more than one slice reports between slices (common/MeasureReport.h)
};
constexpr MeasurePlan DEFAULT_MEASURE_PLAN = {0, -1, false};
constexpr MeasurePlan ADMISSION_MEASURE_PLAN = {0, -1, true};

// Measures from the stream's position to the end of the file in large
// blocks read straight from its descriptor, then leaves the stream
// positioned at the end, with nothing buffered. A stream that cannot be
// positioned (a pipe) is measured print line by print line instead. A read
// error stops the measuring and clears isReadable. When the operator
// abandons a reported measuring, *isAbandoned turns true and the counts
// mean nothing.
PrintMeasure MeasurePrintFileWith(FILE *input, const MeasurePlan &plan, bool *isAbandoned);
// The same with DEFAULT_MEASURE_PLAN.
PrintMeasure MeasurePrintFileInBlocks(FILE *input);

// Allocates the measuring buffers once (later calls do nothing). False when
// memory is short; measuring then goes print line by print line.
bool ReserveMeasureBuffers();
