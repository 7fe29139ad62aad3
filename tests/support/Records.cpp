#include "tests/support/Records.h"

#include <cstdlib>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "line/Line.h"

// Deletes every node (closing the jobs' files) and the sentinels of a list
// that was created, and leaves the record zero-filled.
static void DestroyList(LinkedListInstance *list)
{
    if (list->pHeader != nullptr)
        DestructLinkedListInstance(list);
    *list = {};
}

void ResetRecords()
{
    DestroyList(&g_JobWaitList);
    DestroyList(&g_UserInfoList);
    if (g_PrinterContext.pCurrentJob != nullptr) {
        JobDestructor(g_PrinterContext.pCurrentJob);
        free(g_PrinterContext.pCurrentJob);
    }
    Printer_AbandonAdmission();
    Printer_SetSlicedAdmission(false);
    g_PrinterContext = {};
    g_SuppliesData = {};
    g_nextUserIdx = 0;
    InitAdmin();
    InitPrinter();
}

void ResetLineRecords()
{
    DestroyList(&linemode::g_UserInfoList);
    DestroyList(&linemode::g_JobWaitList);
    linemode::g_PrinterContext = {};
    linemode::g_SuppliesData = {};
    linemode::CreateLists();
}
