// The line-mode program's records between tests and fuzz inputs: apart
// from the terminal programs', so that what drives only the line-mode
// program links nothing of the engine or the screen.
#include "tests/support/Records.h"

#include "line/Line.h"

void ResetLineRecords()
{
    DestroyList(&linemode::g_UserInfoList);
    DestroyList(&linemode::g_JobWaitList);
    linemode::g_PrinterContext = {};
    linemode::g_SuppliesData = {};
    linemode::CreateLists();
}

RecordsSeen SeeLineRecords()
{
    return SeeRecordsOf(linemode::g_PrinterContext, linemode::g_SuppliesData, &linemode::g_JobWaitList,
                        &linemode::g_UserInfoList);
}
