// The command loop's routing of one typed line to the administrator parser
// or to the printer parser.
#pragma once

// Routes a line (without its line feed) by its "admin" or "Printer" prefix.
// Returns the result of the parser it called.
int CommandSelector(const char *line);
