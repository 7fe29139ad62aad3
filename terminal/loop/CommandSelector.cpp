#include "terminal/loop/CommandSelector.h"

#include "administration/Administrator.h"
#include "common/BuildSettings.h"
#include "common/Text.h"
#include "engine/Printer.h"

int CommandSelector(const char *line)
{
    bool isEarlier = g_BuildSettings.grammar != GRAMMAR_CURRENT;
    if (StartsWithKeyword(line, ADMIN_WORD))
        return AdminCommandParser(isEarlier ? LTrim(AfterKeyword(line, ADMIN_WORD)) : LTrim(line));
    if (StartsWithKeyword(line, PRINTER_WORD))
        return PrinterCommandParser(ADMINISTRATOR_USER_ID, LTrim(AfterKeyword(line, PRINTER_WORD)));
    return AdminCommandParser(isEarlier ? line : LTrim(line));
}
