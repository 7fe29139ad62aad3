// The printer engine of the terminal programs: the printer context, the job
// wait list, the printer commands with job admission, and the once-a-second
// engine step. It never calls curses: it reports through DisplayError and
// redraws through display.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/CommandDecision.h"
#include "common/Commands.h"
#include "engine/PrintMeasure.h"
#include "engine/PrinterRecords.h"
#include "list/LinkedList.h"

constexpr const char PRINTER_WORD[] = "Printer";  // begins the administrator's printer commands

// The printer commands.
enum PrinterCommand {
    PRINTER_PRINT,       // a user queues a file
    PRINTER_CANCEL,      // a user cancels a job of their own
    PRINTER_CANCEL_ALL,  // the administrator cancels every job
};

using PrinterCommandRow = CommandRow<PrinterCommand>;

extern PrinterContext g_PrinterContext;
extern SuppliesData g_SuppliesData;  // the administrator's stock; RefilInk and RefillPaper change it
extern LinkedListInstance g_JobWaitList;

// Creates the wait list and the PRINT directory; reports the outcome of the
// mkdir on the error row, one message in every case.
void InitPrinter();
// The wait list's destructor: closes the job's open files, frees nothing.
void JobDestructor(void *data);

// A registered user's printer commands, in the order the parser tries them.
std::span<const PrinterCommandRow> UserPrinterCommands();
// The administrator's printer commands (after the word "Printer").
std::span<const PrinterCommandRow> AdminPrinterCommands();
// What a printer command of a user (-1: the administrator) will do,
// decided from the records without changing anything. A print is decided
// up to its admission, which opens and measures the file.
CommandDecision DecidePrinterCommand(int32_t userID, const char *text);
// Carries out a printer command's decision: shows its refusal, admits the
// file, cancels. 1 when it was carried out, 0 when ignored or refused.
int CarryOutPrinterCommand(const CommandDecision &decision);
// Decides a printer command and carries it out. Returns 1 when it was
// handled, 0 when ignored or refused.
int PrinterCommandParser(int32_t userID, const char *text);
// Measures and queues a file. 1 when queued, 0 when refused (with a message).
int Printer_AddJob(int32_t userID, const char *fileName);
// Admission's check of a job's needs against the printer's levels as they
// are now: the message that refuses the job, or empty when it fits.
std::string Printer_SuppliesMessage(uint64_t ink, uint64_t sheets);

// Admission driven from above. With sliced admission on, a print command
// whose file takes more than one measuring slice only starts it (and
// returns 1): the caller runs Printer_AdmitNextSlice, with whatever it
// likes between slices, until it returns true, then Printer_FinishAdmission,
// or gives up with Printer_AbandonAdmission. Off (the default), the command
// measures the whole file at once, as Printer_AddJob does.
void Printer_SetSlicedAdmission(bool isSliced);
// True while a print command's admission is under way.
bool Printer_IsAdmitting();
// Measures the next slice of its file (or waits 20 ms at most for the
// measuring's second thread). It touches no shared record, so the engine
// lock need not be held. True when the file is measured whole.
bool Printer_AdmitNextSlice();
MeasureProgress Printer_AdmissionProgress();
// Checks the needs against the printer's levels as they are now and queues
// the job. 1 when queued, 0 when refused (with a message).
int Printer_FinishAdmission();
// Stops the measuring of the admission under way, waiting for its second
// thread to leave the block it reads (see PrintMeasure_Stop). It touches no
// shared record, so the engine lock need not be held.
void Printer_StopMeasuring();
// Ends the admission under way, if any: nothing queued, nothing said.
void Printer_AbandonAdmission();
// Cancels the user's printing job (a request for the engine) or removes the
// user's oldest waiting job. 1 when one was found, else 0 (with a message).
int DeleteJob(int32_t userID);
// Requests the cancel of the printing job and empties the wait list.
void CancelAll();

// Closes the current job's files before the program ends. Every printed
// sheet is on disk already; the job is gone, as after a cancel.
void Printer_CloseCurrentJob();
// Jobs printing or waiting, which leaving now would drop.
int Printer_UnfinishedJobs();

// One engine step: refill, hold, idle, cancel, print a sheet or start a job.
void PrinterEngineController();
