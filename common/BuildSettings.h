// What differs between the terminal programs: one record of data, chosen by
// each program's entry file. No source is compiled differently per program.
// Plain data, so that the engine and the administrator can read it without
// depending on the terminal.
#pragma once

#include <sys/types.h>

// How the engine step is driven.
enum TickerKind {
    TICKER_ALARM,          // SIGALRM once a second; steps run on the main thread
    TICKER_WORKER_THREAD,  // a worker thread steps at once, then once a second
};

// Which command language the selector and the administrator parser speak.
// The two earlier generations strip "admin" in the selector, so keywords
// work without it; they differ in whether Refill refuses negative amounts.
enum GrammarGeneration {
    GRAMMAR_CURRENT,   // "admin" belongs to the command; every check and message
    GRAMMAR_EARLIER,   // "admin" stripped; negative amounts refused
    GRAMMAR_EARLIEST,  // "admin" stripped; any amount reaches the stock
};

// Defaults are those of the main program, quillbay.
struct BuildSettings {
    const char *programName = "quillbay";        // used in messages on standard error
    const char *summary = "";                    // what the program is: its usage text's first paragraph
    TickerKind ticker = TICKER_ALARM;
    GrammarGeneration grammar = GRAMMAR_CURRENT;
    bool echoesCommand = false;                  // "command! : %s" on row 3 of the command window
    const char *greeting = nullptr;              // written once to standard output; NULL for none
    mode_t printDirMode = 0777;                  // mode given to mkdir of PRINT (umask applies)
};

// The active record. The entry file sets it through RunTerminalProgram;
// tests switch it to check every program's behaviour in one binary. The
// engine and the administrator read it; only the terminal sets it.
extern BuildSettings g_BuildSettings;
