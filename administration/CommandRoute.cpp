#include "administration/CommandRoute.h"

#include "administration/Administrator.h"
#include "common/BuildSettings.h"
#include "common/Text.h"
#include "engine/Printer.h"

CommandRoute RouteCommandLine(const char *line)
{
    bool isEarlier = g_BuildSettings.grammar != GRAMMAR_CURRENT;
    if (StartsWithKeyword(line, ADMIN_WORD))
        return {false, isEarlier ? LTrim(AfterKeyword(line, ADMIN_WORD)) : LTrim(line)};
    if (StartsWithKeyword(line, PRINTER_WORD))
        return {true, LTrim(AfterKeyword(line, PRINTER_WORD))};
    return {false, isEarlier ? line : LTrim(line)};
}

CommandDecision DecideCommandLine(const char *line)
{
    CommandRoute route = RouteCommandLine(line);
    if (route.isPrinterCommand)
        return DecidePrinterCommand(ADMINISTRATOR_USER_ID, route.text);
    return DecideAdminCommand(route.text);
}
