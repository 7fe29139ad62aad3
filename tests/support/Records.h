// Fresh records between tests and fuzz inputs, as each program has them
// right after start-up, and what the records hold at one moment.
#pragma once

#include <cstdint>

#include "engine/PrinterRecords.h"
#include "list/LinkedList.h"

// The terminal programs: empties the wait list (closing its jobs' files),
// the user list, the current job, the printer and the stock, then creates
// the lists afresh as InitAdmin and InitPrinter do (PRINT included, with its
// message on the error row when a screen is open).
void ResetRecords();
// The line-mode program: the same for its own records.
void ResetLineRecords();

// What an engine step or a command may change, read at one moment.
struct RecordsSeen {
    PrinterState state;
    const PrintJob *currentJob;
    int32_t printedPages;  // of the current job; -1 without one
    uint32_t ink;
    uint32_t paper;
    int32_t stockInk;
    int32_t stockPaper;
    int waitingJobs;
    int users;
    bool operator==(const RecordsSeen &) const = default;
};
// The terminal programs' records; the caller holds their engine lock.
RecordsSeen SeeRecords();
// The line-mode program's records; the caller holds its engine lock.
RecordsSeen SeeLineRecords();

// Deletes every node (closing the jobs' files) and the sentinels of a list
// that was created, and leaves the record zero-filled.
inline void DestroyList(LinkedListInstance *list)
{
    if (list->pHeader != nullptr)
        DestructLinkedListInstance(list);
    *list = {};
}

// The records seen through the given printer, stock and lists.
inline RecordsSeen SeeRecordsOf(const PrinterContext &printer, const SuppliesData &stock, LinkedListInstance *jobs,
                                LinkedListInstance *users)
{
    const PrintJob *job = printer.pCurrentJob;
    return {printer.state, job, job != nullptr ? job->printedPages : -1, printer.ink, printer.paper, stock.ink,
            stock.paper, GetNodeCount(jobs), GetNodeCount(users)};
}
