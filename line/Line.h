// The line-mode program (quillbay-line): a user registry, a wait list of
// print jobs, the printer context and the administrator's stock, driven by
// command lines on standard input, with an engine worker that looks once a
// second at the first waiting job. Its only output is the user listing.
//
// The functions bear the names of their counterparts in the terminal
// programs but are this program's own; the namespace keeps the two sets
// apart should they ever meet in one link.
#pragma once

#include <cstdint>
#include <mutex>

#include "administration/UserRecords.h"
#include "common/Commands.h"
#include "engine/PrinterRecords.h"
#include "line/CommandInput.h"
#include "line/Platform.h"
#include "list/LinkedList.h"

namespace linemode {

// Command loop and engine worker.
constexpr uint32_t COMMAND_PAUSE_MS = 100;     // pause of the command loop after each line
constexpr uint32_t ENGINE_PERIOD_MS = 1000;    // pause of the worker after each engine step

// The records of this program, all zero at start.
extern LinkedListInstance g_UserInfoList;  // UserInfo records, registration order
extern LinkedListInstance g_JobWaitList;   // PrintJob records, submission order
extern PrinterContext g_PrinterContext;    // only state ever changes
extern SuppliesData g_SuppliesData;        // the stock; changed only by Refill

// Held for each engine step and for the handling of each command line, so
// that the two never overlap. Not recursive: the functions below assume
// that their caller holds it where they touch the records.
extern std::mutex g_EngineLock;

// ---------------------------------------------------------------- start-up

// Creates the user list and then the job wait list.
void CreateLists();
// Starts the engine worker; returns the handle that CreateThread gave.
ThreadHandle SetDigitalClock();
// The worker's body: an engine step at once, then one after each 1000 ms
// pause, for ever. The parameter is ignored.
uint32_t ThreadProc(void *unused);
// One engine step under the engine lock: what the worker runs each second.
void RunEngineStep();
// Handles one command line (no trailing line feed) under the engine lock.
void HandleCommandLine(const char *line);
// Reads command lines from standard input and hands each whole line to
// HandleCommandLine, pausing 100 ms after each, however the input arrives
// and whatever its descriptor's flags. A line longer than 2047 bytes gives
// its first 2047 as the command and the rest is dropped. Never returns; at
// the end of the input, or at a read error that does not clear, it sleeps
// for good, since no further command can come.
[[noreturn]] void CommandLoop();

// ---------------------------------------------------------------- commands

// True when text is longer than keyword, begins with it (ASCII letter case
// ignored) and has a blank (0x20) right after it.
bool MatchKeyword(const char *text, const char *keyword);
// Routes a line: "admin " to the administrator parser, "PRINTER " to the
// administrator's printer commands, anything else to the administrator
// parser whole.
void CommandSelector(const char *line);
// Refill, Add User, Del User, Show User List, or else a registered user's
// name, a blank and a printer command.
void AdminCommandParser(const char *text);
// The administrator (-1) may Print and Cancel; any other identifier may only
// Cancel All. The words match with exact case and nothing after them.
void PrinterCommandParser(int32_t userID, const char *text);

// ---------------------------------------------------------------- jobs

// The job wait list's destructor: closes the job's input file, frees nothing.
void JobDestructor(void *data);
// Queues a job for an openable regular file. 1 when queued, 0 when five jobs
// wait already or the file cannot be opened.
int Printer_AddJob(int32_t userID, const char *path);
// Removes the first waiting job of this identifier. 1 when one was removed.
int DeleteJob(int32_t userID);
// Sets the state to PRINTER_REQUEST_CANCEL and empties the wait list.
void CancelAll();
// One engine step: in PRINTER_WAITING with a job waiting, decides between
// PRINTER_PRINTING and PRINTER_NEED_SUPPLIES for the first job.
void PrinterEngineController();

// ---------------------------------------------------------------- registry

// The user list's destructor: a UserInfo holds nothing to release.
void UserInfoDestructor(void *data);
// 1 when a user of exactly this name is registered, else 0.
int AuthorizeCheck(const char *name);
// The userID of the first user of exactly this name, or -1.
int FindUserID(const char *name);
// Registers a name (at most 20 characters) with userID 0. 1 when
// registered, 0 when the name is taken.
int AddUser(const char *name);
// Removes the first user of exactly this name. 1 when removed, else 0.
int DeleteUser(const char *name);
// Prints the user listing: display(DISPLAY_USER_LIST).
void ShowUserList();
// DISPLAY_USER_LIST prints the user listing; any other mode does nothing.
void display(int mode);
// One line "user Name : %s \n" per user on standard output, then a flush.
void userList_display();

// ---------------------------------------------------------------- stock

// Add any amount, negative ones included, to the stock and return the new
// value. A total beyond 32 bits would overflow: the stock stays as it was.
int32_t RefilInk(int32_t amount);
int32_t RefillPaper(int32_t amount);

}  // namespace linemode
