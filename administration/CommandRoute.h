// Where the command selector sends a typed line: to the administrator
// parser, or, after the word "Printer", to the printer parser under the
// administrator's identifier. The selector (terminal/loop/CommandSelector)
// follows the route; the prompt's hint decides along the same route.
#pragma once

#include "common/CommandDecision.h"

struct CommandRoute {
    bool isPrinterCommand;  // to PrinterCommandParser with ADMINISTRATOR_USER_ID; else to AdminCommandParser
    const char *text;       // what that parser gets, a pointer into the line
};

// The route of a line (without its line feed) by its "admin" or "Printer"
// prefix, in the running program's grammar.
CommandRoute RouteCommandLine(const char *line);
// What entering the line will do, decided from the records without
// changing anything, exactly as the selector and the parsers will.
CommandDecision DecideCommandLine(const char *line);
