// The fast measuring of a print file for admission: the same counts as
// reading it print line by print line (MeasurePrintFile), at the speed of
// the disk cache rather than of one fgets call per line.
#pragma once

#include <cstdio>

#include "engine/PrintLine.h"

// Measures from the stream's position to the end of the file in large
// blocks read straight from its descriptor, then leaves the stream
// positioned at the end, with nothing buffered. A stream that cannot be
// positioned (a pipe) is measured print line by print line instead. A read
// error stops the measuring and clears isReadable.
PrintMeasure MeasurePrintFileInBlocks(FILE *input);

// Allocates the measuring buffers once (later calls do nothing). False when
// memory is short; measuring then goes print line by print line.
bool ReserveMeasureBuffers();
