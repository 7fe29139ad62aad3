// The printer engine of the terminal programs: the printer context, the job
// wait list, the printer commands with job admission, and the once-a-second
// engine step. It never calls curses: it reports through DisplayError and
// redraws through display.
#pragma once

#include <cstdint>

#include "engine/PrinterRecords.h"
#include "list/LinkedList.h"

constexpr int32_t ADMINISTRATOR_USER_ID = -1;  // user identifier of the administrator

extern PrinterContext g_PrinterContext;
extern SuppliesData g_SuppliesData;  // the administrator's stock; RefilInk and RefillPaper change it
extern LinkedListInstance g_JobWaitList;

// Creates the wait list and the PRINT directory; reports the outcome of the
// mkdir on the error row, one message in every case.
void InitPrinter();
// The wait list's destructor: closes the job's open files, frees nothing.
void JobDestructor(void *data);

// Routes a printer command of a user (-1: the administrator). Returns 1
// when it was handled, 0 when ignored or refused.
int PrinterCommandParser(int32_t userID, const char *text);
// Measures and queues a file. 1 when queued, 0 when refused (with a message).
int Printer_AddJob(int32_t userID, const char *fileName);
// Cancels the user's printing job (a request for the engine) or removes the
// user's oldest waiting job. 1 when one was found, else 0 (with a message).
int DeleteJob(int32_t userID);
// Requests the cancel of the printing job and empties the wait list.
void CancelAll();

// One engine step: refill, hold, idle, cancel, print a sheet or start a job.
void PrinterEngineController();
