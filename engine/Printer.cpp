#include "engine/Printer.h"

#include <cassert>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "common/Allocate.h"
#include "common/BuildSettings.h"
#include "common/RegularFile.h"
#include "common/Report.h"
#include "common/Text.h"
#include "engine/OutputFile.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"

PrinterContext g_PrinterContext;
SuppliesData g_SuppliesData;
LinkedListInstance g_JobWaitList;

// ---------------------------------------------------------------- start-up

static const char *MkdirOutcomeMessage(int error, char *buffer)
{
    switch (error) {
    case 0: return "mkdir successed.";
    case EACCES: return "mkdir Permission denied";
    case EEXIST: return "mkdir PRINT exist";
    case ENOENT: return "mkdir ENOENT";
    default:
        snprintf(buffer, MESSAGE_BUFFER_SIZE, "mkdir unknown error num = %d", error);
        return buffer;
    }
}

void InitPrinter()
{
    CreateLinkedListInstance("JOB_WAIT_LIST", &g_JobWaitList, JobDestructor);
    int error = MakePrintDirectory();
    char message[MESSAGE_BUFFER_SIZE] = {};
    DisplayError(MkdirOutcomeMessage(error, message));
}

void JobDestructor(void *data)
{
    PrintJob *job = static_cast<PrintJob *>(data);
    if (job->pInputFile != nullptr)
        fclose(job->pInputFile);
    if (job->pOutputFile != nullptr)
        fclose(job->pOutputFile);
}

// ---------------------------------------------------------------- commands

// Neither keyword of a table is a prefix of another, so order decides nothing.
static const PrinterCommandRow USER_PRINTER_COMMANDS[] = {
    {"Print", PRINTER_PRINT, "FILE", "report.txt", "queue a file"},
    {"Cancel", PRINTER_CANCEL, "", "", "cancel own job"},
};
static const PrinterCommandRow ADMIN_PRINTER_COMMANDS[] = {
    {"Cancel All", PRINTER_CANCEL_ALL, "", "", "cancel every job"},
};

std::span<const PrinterCommandRow> UserPrinterCommands()
{
    return USER_PRINTER_COMMANDS;
}

std::span<const PrinterCommandRow> AdminPrinterCommands()
{
    return ADMIN_PRINTER_COMMANDS;
}

static const PrinterCommandRow *FindPrinterCommand(std::span<const PrinterCommandRow> rows, const char *text)
{
    for (const PrinterCommandRow &row : rows) {
        if (StartsWithKeyword(text, row.keyword))
            return &row;
    }
    return nullptr;
}

// A decision that shows a message and changes nothing.
static CommandDecision Refused(CommandDecision decision, CommandReason reason, const char *message)
{
    decision.action = COMMAND_REFUSED;
    decision.verdict = VERDICT_REFUSED;
    decision.reason = reason;
    decision.message = message;
    return decision;
}

static CommandDecision Runs(CommandDecision decision, CommandAction action)
{
    decision.action = action;
    decision.verdict = VERDICT_RUNS;
    return decision;
}

// A print: refused while the wait list is full, before the file is opened.
static CommandDecision DecidePrint(int32_t userID, const char *fileName)
{
    CommandDecision decision;
    decision.userID = userID;
    decision.fileName = fileName;
    if (GetNodeCount(&g_JobWaitList) >= MAX_WAIT_JOBS)
        return Refused(std::move(decision), REASON_WAIT_LIST_FULL, "JOB WAIT LIST FULL.");
    return Runs(std::move(decision), COMMAND_PRINT);
}

// The oldest waiting job of the user; NULL when none waits.
static ListNode *FindWaitingJob(int32_t userID)
{
    for (ListNode *node = GetFirstNode(&g_JobWaitList); node != nullptr && !IsTailer(&g_JobWaitList, node);
         node = GetNextNode(node)) {
        if (static_cast<PrintJob *>(node->pData)->userID == userID)
            return node;
    }
    return nullptr;
}

static bool IsPrintingJobOf(int32_t userID)
{
    const PrintJob *current = g_PrinterContext.pCurrentJob;
    return current != nullptr && current->userID == userID;
}

// A cancel: the job being printed or the oldest waiting; refused when the
// user has neither. A cancel already asked for changes nothing.
static CommandDecision DecideCancel(int32_t userID)
{
    CommandDecision decision;
    decision.userID = userID;
    bool isPrinting = IsPrintingJobOf(userID);
    if (!isPrinting && FindWaitingJob(userID) == nullptr) {
        char message[MESSAGE_BUFFER_SIZE] = {};
        snprintf(message, sizeof message, "UID : %d Job not found.", userID);
        return Refused(std::move(decision), REASON_NO_JOB, message);
    }
    decision = Runs(std::move(decision), COMMAND_CANCEL);
    if (isPrinting && g_PrinterContext.state == PRINTER_REQUEST_CANCEL)
        decision.verdict = VERDICT_NOTHING;
    return decision;
}

CommandDecision DecidePrinterCommand(int32_t userID, const char *text)
{
    bool isAdministrator = userID == ADMINISTRATOR_USER_ID;
    const PrinterCommandRow *row =
        FindPrinterCommand(isAdministrator ? AdminPrinterCommands() : UserPrinterCommands(), text);
    CommandDecision decision;
    decision.userID = userID;
    if (row == nullptr) {
        decision.word = text;
        CommandReason reason = isAdministrator ? REASON_NO_PRINTER_COMMAND : REASON_UNKNOWN_USER_COMMAND;
        if (!isAdministrator && g_BuildSettings.grammar == GRAMMAR_CURRENT)
            return Refused(std::move(decision), reason, "not supported command");
        decision.reason = reason;
        return decision;
    }
    switch (row->command) {
    case PRINTER_PRINT: return DecidePrint(userID, LTrim(AfterKeyword(text, row->keyword)));
    case PRINTER_CANCEL: return DecideCancel(userID);
    case PRINTER_CANCEL_ALL:
        decision = Runs(std::move(decision), COMMAND_CANCEL_ALL);
        if (g_PrinterContext.state == PRINTER_REQUEST_CANCEL && GetNodeCount(&g_JobWaitList) == 0)
            decision.verdict = VERDICT_NOTHING;
        break;
    }
    return decision;
}

static int StartPrintCommand(int32_t userID, const char *fileName);

// A decided cancel: the job being printed gets a cancel request for the
// engine, or else the oldest waiting job goes.
static int CancelJobOf(int32_t userID)
{
    if (IsPrintingJobOf(userID)) {
        g_PrinterContext.state = PRINTER_REQUEST_CANCEL;
        return 1;
    }
    ListNode *node = FindWaitingJob(userID);
    if (node == nullptr)
        return 0;
    DeleteNode(&g_JobWaitList, node);
    return 1;
}

int CarryOutPrinterCommand(const CommandDecision &decision)
{
    switch (decision.action) {
    case COMMAND_REFUSED:
        DisplayError(decision.message.c_str());
        return 0;
    case COMMAND_PRINT: return StartPrintCommand(decision.userID, decision.fileName.c_str());
    case COMMAND_CANCEL: return CancelJobOf(decision.userID);
    case COMMAND_CANCEL_ALL:
        CancelAll();
        return 1;
    default: return 0;
    }
}

int PrinterCommandParser(int32_t userID, const char *text)
{
    return CarryOutPrinterCommand(DecidePrinterCommand(userID, text));
}

static PrintJob *AllocateJob()
{
    return static_cast<PrintJob *>(AllocateZeroed(sizeof(PrintJob), "a print job"));
}

// The admission under way: its file is being measured.
static struct {
    FILE *input;  // NULL when none is under way
    int32_t userID;
} s_admission;
static bool s_isSlicedAdmission;

void Printer_SetSlicedAdmission(bool isSliced)
{
    s_isSlicedAdmission = isSliced;
}

// Opens the file of a decided print and starts measuring it. 1 when the
// measuring is under way, 0 when refused (with a message).
static int StartAdmission(int32_t userID, const char *fileName)
{
    FILE *input = OpenRegularFile(fileName);
    if (input == nullptr) {
        DisplayError("request file fopen failed.");
        return 0;
    }
    s_admission.input = input;
    s_admission.userID = userID;
    PrintMeasure_Start(input, DEFAULT_MEASURE_PLAN);
    return 1;
}

bool Printer_IsAdmitting()
{
    return s_admission.input != nullptr;
}

bool Printer_AdmitNextSlice()
{
    return PrintMeasure_NextSlice();
}

MeasureProgress Printer_AdmissionProgress()
{
    return PrintMeasure_Progress();
}

void Printer_StopMeasuring()
{
    if (s_admission.input != nullptr)
        PrintMeasure_Stop();
}

void Printer_AbandonAdmission()
{
    if (s_admission.input == nullptr)
        return;
    PrintMeasure_Finish();
    fclose(s_admission.input);  // the operator's Esc: nothing to say
    s_admission.input = nullptr;
}

int Printer_FinishAdmission()
{
    FILE *input = s_admission.input;
    s_admission.input = nullptr;
    PrintMeasure measure = PrintMeasure_Finish();
    if (!measure.isReadable) {
        fclose(input);
        DisplayError("request file fopen failed.");
        return 0;
    }
    rewind(input);
    uint64_t needPaper = SheetsForReads(measure.reads);
    std::string shortage = Printer_SuppliesMessage(measure.ink, needPaper);
    if (!shortage.empty()) {
        DisplayError(shortage.c_str());
        fclose(input);
        return 0;
    }
    ListNode *node = AddNode(&g_JobWaitList);
    PrintJob *job = AllocateJob();
    node->pData = job;
    job->needInk = static_cast<int32_t>(measure.ink);
    job->needPaper = static_cast<int32_t>(needPaper);
    job->pInputFile = input;
    job->userID = s_admission.userID;
    return 1;
}

std::string Printer_SuppliesMessage(uint64_t ink, uint64_t sheets)
{
    // Counted in 64 bits, so a need beyond any 32-bit level is simply more
    // than the printer holds.
    if (ink <= g_PrinterContext.ink && sheets <= g_PrinterContext.paper)
        return "";
    char message[MESSAGE_BUFFER_SIZE] = {};
    snprintf(message, sizeof message, "'Request Job need more supplies. needInk = %" PRIu64 ", needPaper=%" PRIu64,
             ink, sheets);
    return message;
}

// A decided print, its file measured whole at once.
static int AdmitWhole(int32_t userID, const char *fileName)
{
    if (StartAdmission(userID, fileName) == 0)
        return 0;
    while (!Printer_AdmitNextSlice()) {
    }
    return Printer_FinishAdmission();
}

int Printer_AddJob(int32_t userID, const char *fileName)
{
    CommandDecision decision = DecidePrint(userID, fileName);
    if (decision.action != COMMAND_PRINT)
        return CarryOutPrinterCommand(decision);
    return AdmitWhole(userID, fileName);
}

// A decided print command's admission: a file measured in one slice is
// admitted at once; a longer one, when sliced admission is on, is left
// under way for the caller's loop.
static int StartPrintCommand(int32_t userID, const char *fileName)
{
    if (!s_isSlicedAdmission)
        return AdmitWhole(userID, fileName);
    if (StartAdmission(userID, fileName) == 0)
        return 0;
    return Printer_AdmitNextSlice() ? Printer_FinishAdmission() : 1;
}

int DeleteJob(int32_t userID)
{
    return CarryOutPrinterCommand(DecideCancel(userID));
}

void CancelAll()
{
    g_PrinterContext.state = PRINTER_REQUEST_CANCEL;
    DeleteAllNodes(&g_JobWaitList);
}

// ---------------------------------------------------------------- engine steps

// A stock at or below zero counts as empty, so nothing negative ever moves
// into the printer.
static bool IsRefillPossible()
{
    return (g_SuppliesData.ink > 0 && g_PrinterContext.ink < PRINTER_INK_CAPACITY) ||
           (g_SuppliesData.paper > 0 && g_PrinterContext.paper < PRINTER_PAPER_CAPACITY);
}

// How much of a stock moves this tick: at most the quantum, never more than
// the printer has room for, never below zero.
static uint32_t RefillAmount(int32_t stock, int32_t quantum, uint32_t level, uint32_t capacity)
{
    if (stock <= 0 || level >= capacity)
        return 0;
    uint32_t amount = static_cast<uint32_t>(stock < quantum ? stock : quantum);
    return amount > capacity - level ? capacity - level : amount;
}

static void RefillSupplies()
{
    uint32_t ink = RefillAmount(g_SuppliesData.ink, INK_REFILL_PER_TICK, g_PrinterContext.ink, PRINTER_INK_CAPACITY);
    uint32_t paper =
        RefillAmount(g_SuppliesData.paper, PAPER_REFILL_PER_TICK, g_PrinterContext.paper, PRINTER_PAPER_CAPACITY);
    g_PrinterContext.ink += ink;
    g_SuppliesData.ink -= static_cast<int32_t>(ink);
    g_PrinterContext.paper += paper;
    g_SuppliesData.paper -= static_cast<int32_t>(paper);
    if (IsRefillPossible())
        g_PrinterContext.state = PRINTER_REFILLING;
    else
        g_PrinterContext.state = g_PrinterContext.pCurrentJob != nullptr ? PRINTER_PRINTING : PRINTER_WAITING;
    display(DISPLAY_ORDINARY);
}

static void NotEnoughSupplies()
{
    display(DISPLAY_ORDINARY);
    g_PrinterContext.state = PRINTER_NEED_SUPPLIES;
}

static void EmptyJobList()
{
    display(DISPLAY_ORDINARY);
    g_PrinterContext.state = PRINTER_WAITING;
}

static void FreeCurrentJob()
{
    JobDestructor(g_PrinterContext.pCurrentJob);
    free(g_PrinterContext.pCurrentJob);
    g_PrinterContext.pCurrentJob = nullptr;
}

void Printer_CloseCurrentJob()
{
    if (g_PrinterContext.pCurrentJob != nullptr)
        FreeCurrentJob();
    g_PrinterContext.state = PRINTER_WAITING;
}

static void Cancel()
{
    if (g_PrinterContext.pCurrentJob != nullptr)
        FreeCurrentJob();
    display(DISPLAY_ORDINARY);
    g_PrinterContext.state = PRINTER_WAITING;
}

static void POPJobList()
{
    ListNode *first = GetFirstNode(&g_JobWaitList);
    PrintJob *waiting = static_cast<PrintJob *>(first->pData);
    PrintJob *job = AllocateJob();
    *job = *waiting;
    g_PrinterContext.pCurrentJob = job;
    waiting->pInputFile = nullptr;  // the current job owns the stream now
    DeleteNode(&g_JobWaitList, first);

    job->pOutputFile = OutputFile_Start();
    if (job->pOutputFile == nullptr) {
        // Nothing was printed and nothing used: end the job here.
        FreeCurrentJob();
        g_PrinterContext.state = PRINTER_WAITING;
        DisplayError("print file fopen failed.");
        display(DISPLAY_ORDINARY);
        return;
    }
    g_PrinterContext.state = PRINTER_PRINTING;
    display(DISPLAY_ORDINARY);
}

// Reads the next sheet (at most LINES_PER_PAGE print lines) into sheet,
// SHEET_BUFFER_SIZE bytes, and returns its ink; *size gets its length.
static uint64_t ReadSheet(FILE *input, char *sheet, size_t *size)
{
    char line[LINE_BUFFER_SIZE];
    uint64_t ink = 0;
    *size = 0;
    for (int lines = 0; lines < LINES_PER_PAGE && !IsPrintInputDone(input); lines++) {
        size_t length = ReadPrintLine(input, line);
        assert(*size + length <= SHEET_BUFFER_SIZE);
        memcpy(sheet + *size, line, length);
        *size += length;
        ink += PrintLineInk(line, length);
    }
    return ink;
}

// Prints one sheet. When the printer lacks the paper or the ink for it, or
// the sheet cannot be written whole, the input goes back to the sheet's
// start and the job is held; printing it later gives the same bytes.
static bool PrintSheet(PrintJob *job)
{
    static char sheet[SHEET_BUFFER_SIZE];
    off_t sheetStart = ftello(job->pInputFile);
    size_t size;
    uint64_t ink = ReadSheet(job->pInputFile, sheet, &size);
    bool isShort = g_PrinterContext.paper == 0 || ink > g_PrinterContext.ink;
    if (isShort)
        g_PrinterContext.state = PRINTER_NEED_SUPPLIES;
    if (isShort || !OutputFile_WriteSheet(job, sheet, size)) {
        fseeko(job->pInputFile, sheetStart, SEEK_SET);
        return false;
    }
    job->printedPages++;
    g_PrinterContext.paper--;
    g_PrinterContext.ink -= static_cast<uint32_t>(ink);
    g_PrinterContext.state = PRINTER_PRINTING;
    return true;
}

static void ContinueJob()
{
    PrintJob *job = g_PrinterContext.pCurrentJob;
    if (job->printedPages != job->needPaper && !PrintSheet(job)) {
        display(DISPLAY_ORDINARY);
        return;
    }
    if (job->printedPages == job->needPaper) {
        FreeCurrentJob();
        g_PrinterContext.state = PRINTER_WAITING;
    }
    display(DISPLAY_ORDINARY);
}

void PrinterEngineController()
{
    PrinterState state = g_PrinterContext.state;
    // A cancel request comes first: a refill must never swallow it.
    if (state == PRINTER_REQUEST_CANCEL) {
        Cancel();
        return;
    }
    // Refilling never interrupts a sheet being printed, and comes before
    // everything else.
    if (state != PRINTER_PRINTING && IsRefillPossible()) {
        RefillSupplies();
        return;
    }
    switch (state) {
    case PRINTER_NEED_SUPPLIES:
        NotEnoughSupplies();
        break;
    case PRINTER_WAITING:
        if (GetNodeCount(&g_JobWaitList) == 0)
            EmptyJobList();
        else
            POPJobList();
        break;
    case PRINTER_PRINTING:
        ContinueJob();
        break;
    default:
        break;  // refilling with nothing left to move: no step, not even a redraw
    }
}

int Printer_UnfinishedJobs()
{
    return GetNodeCount(&g_JobWaitList) + (g_PrinterContext.pCurrentJob != nullptr ? 1 : 0);
}
