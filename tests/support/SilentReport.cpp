// The report entry points with nothing to report to, for programs that
// drive the engine without a screen: errors and redraws go nowhere.
#include "common/Report.h"

int DisplayError(const char *)
{
    return 0;
}

void display(int)
{
}
