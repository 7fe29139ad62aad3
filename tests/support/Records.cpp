#include "tests/support/Records.h"

#include "administration/Administrator.h"
#include "engine/Printer.h"

void ResetRecords()
{
    DestroyList(&g_JobWaitList);
    DestroyList(&g_UserInfoList);
    Printer_CloseCurrentJob();
    Printer_AbandonAdmission();
    Printer_SetSlicedAdmission(false);
    g_PrinterContext = {};
    g_SuppliesData = {};
    g_nextUserIdx = 0;
    InitAdmin();
    InitPrinter();
}

RecordsSeen SeeRecords()
{
    return SeeRecordsOf(g_PrinterContext, g_SuppliesData, &g_JobWaitList, &g_UserInfoList);
}
