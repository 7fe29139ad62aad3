// How a long measuring of a print file lets the rest of the program run.
// The engine measures in slices and calls these between them; the terminal
// programs define them (terminal/MeasureProgress.cpp). The engine lock is
// held by the caller on every call but inside a slice.
#pragma once

#include <cstdint>

// Where a measuring stands.
struct MeasureProgress {
    uint64_t measuredBytes;
    uint64_t fileBytes;
    uint64_t elapsedMs;  // since the measuring began
};

// A slice begins: the engine reads the file and touches no shared record
// until EndMeasureSlice, so the engine lock is released meanwhile.
void BeginMeasureSlice();
// A slice ended: takes the engine lock again, runs an engine step that fell
// due (the printer's levels and the wait list may change), shows the
// progress of a measuring that has lasted a second. Returns 0 when the
// operator abandons the measuring, 1 to go on.
int EndMeasureSlice(const MeasureProgress &progress);
// The measuring is over, finished or abandoned: takes its progress away.
void EndMeasureProgress();
