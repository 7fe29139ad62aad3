#include "tests/support/Records.h"

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
    Printer_CloseCurrentJob();
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

static RecordsSeen See(const PrinterContext &printer, const SuppliesData &stock, LinkedListInstance *jobs,
                       LinkedListInstance *users)
{
    const PrintJob *job = printer.pCurrentJob;
    return {printer.state, job, job != nullptr ? job->printedPages : -1, printer.ink, printer.paper, stock.ink,
            stock.paper, GetNodeCount(jobs), GetNodeCount(users)};
}

RecordsSeen SeeRecords()
{
    return See(g_PrinterContext, g_SuppliesData, &g_JobWaitList, &g_UserInfoList);
}

RecordsSeen SeeLineRecords()
{
    return See(linemode::g_PrinterContext, linemode::g_SuppliesData, &linemode::g_JobWaitList,
               &linemode::g_UserInfoList);
}
