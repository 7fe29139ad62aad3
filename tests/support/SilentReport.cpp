// The report entry points with nothing to report to, for programs that
// drive the engine without a screen: errors and redraws go nowhere, and a
// long measuring runs to its end without a pause between slices.
#include "common/MeasureReport.h"
#include "common/Report.h"

int DisplayError(const char *)
{
    return 0;
}

void display(int)
{
}

void BeginMeasureSlice()
{
}

int EndMeasureSlice(const MeasureProgress &)
{
    return 1;
}

void EndMeasureProgress()
{
}
