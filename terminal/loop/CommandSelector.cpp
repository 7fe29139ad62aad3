#include "terminal/loop/CommandSelector.h"

#include "administration/Administrator.h"
#include "administration/CommandRoute.h"
#include "common/Commands.h"
#include "engine/Printer.h"

int CommandSelector(const char *line)
{
    CommandRoute route = RouteCommandLine(line);
    if (route.isPrinterCommand)
        return PrinterCommandParser(ADMINISTRATOR_USER_ID, route.text);
    return AdminCommandParser(route.text);
}
