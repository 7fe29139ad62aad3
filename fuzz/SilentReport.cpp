// The report entry points with nothing to report to: for programs that
// drive the engine without a screen.
#include "common/Report.h"

int DisplayError(const char *)
{
    return 0;
}

void display(int)
{
}
