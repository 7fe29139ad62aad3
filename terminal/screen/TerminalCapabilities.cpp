#include "terminal/screen/TerminalCapabilities.h"

#include <cstring>
#include <curses.h>
#include <term.h>

// A capability the description has: tigetstr gives NULL for one it lacks
// and -1 for a name that is not a string capability.
static bool HasString(const char *name)
{
    const char *value = tigetstr(name);
    return value != nullptr && value != reinterpret_cast<const char *>(-1) && *value != '\0';
}

bool CanDrawOnTerminal(const char *terminalType, int outputFd)
{
    int status = 0;
    if (setupterm(terminalType, outputFd, &status) != OK)
        return false;
    bool canDraw = HasString("cup") && HasString("clear");
    del_curterm(cur_term);
    return canDraw;
}

// Appends a capability without its padding ("$<5>"), which only a slow
// hardware terminal needed; nothing for one the description lacks.
static void AppendCapability(std::string *to, const char *value)
{
    if (value == nullptr || value == reinterpret_cast<const char *>(-1))
        return;
    for (const char *c = value; *c != '\0'; c++) {
        const char *padEnd = c[0] == '$' && c[1] == '<' ? strchr(c, '>') : nullptr;
        if (padEnd != nullptr)
            c = padEnd;
        else
            to->push_back(*c);
    }
}

std::string TerminalRestoreSequence(int lastLine)
{
    std::string restore(1, '\x18');  // CAN ends a sequence the dropped output cut short
    AppendCapability(&restore, tigetstr("rmacs"));
    AppendCapability(&restore, tigetstr("sgr0"));
    AppendCapability(&restore, tigetstr("cnorm"));
    restore += "\033[?2004l";
    const char *address = tigetstr("cup");
    if (address != nullptr && address != reinterpret_cast<const char *>(-1))
        AppendCapability(&restore, tiparm(address, lastLine, 0));
    AppendCapability(&restore, tigetstr("rmcup"));
    AppendCapability(&restore, tigetstr("rmkx"));  // as curses leaves it
    return restore;
}
