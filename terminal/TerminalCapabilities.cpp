#include "terminal/TerminalCapabilities.h"

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
