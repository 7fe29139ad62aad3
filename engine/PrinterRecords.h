// The printer's records and limits, shared by the terminal programs and the
// line-mode program. Types only: the functions live with each program.
#pragma once

#include <cstdint>
#include <cstdio>

// Printer status codes.
typedef int32_t PrinterState;
constexpr PrinterState PRINTER_WAITING = 0;         // idle, no current job
constexpr PrinterState PRINTER_PRINTING = 1;        // one sheet per tick
constexpr PrinterState PRINTER_NEED_SUPPLIES = 2;   // current job held
constexpr PrinterState PRINTER_REFILLING = 3;       // stock moving in
constexpr PrinterState PRINTER_REQUEST_CANCEL = 4;  // end current job next tick

// Engine limits.
constexpr int MAX_WAIT_JOBS = 5;              // jobs in the wait list
constexpr int LINES_PER_PAGE = 10;            // line reads per sheet
constexpr int PRINT_LINE_WIDTH = 30;          // characters kept of a read
constexpr int LINE_BUFFER_SIZE = 2048;        // read buffer (2047 chars + NUL)
constexpr int MESSAGE_BUFFER_SIZE = 1024;     // message or file name buffer
constexpr uint32_t PRINTER_INK_CAPACITY = 3000;
constexpr uint32_t PRINTER_PAPER_CAPACITY = 100;
constexpr int32_t INK_REFILL_PER_TICK = 100;
constexpr int32_t PAPER_REFILL_PER_TICK = 10;

// One submitted job; a zero-filled heap record.
struct PrintJob {
    FILE *pInputFile;      // file to print, open from admission to the job's end
    FILE *pOutputFile;     // file under PRINT; NULL while the job waits
    int32_t userID;        // submitting user; -1 is the administrator
    int32_t needInk;       // ink units of the whole job
    int32_t needPaper;     // sheets of the whole job, at least 1
    int32_t printedPages;  // sheets printed so far
};

// The printer itself.
struct PrinterContext {
    PrinterState state;     // status code
    PrintJob *pCurrentJob;  // job being printed, owned by the engine; or NULL
    uint32_t ink;           // ink units inside the printer
    uint32_t paper;         // sheets inside the printer
};

// The administrator's stock, moved into the printer by the engine.
struct SuppliesData {
    int32_t ink;    // ink units in stock
    int32_t paper;  // sheets in stock
};
