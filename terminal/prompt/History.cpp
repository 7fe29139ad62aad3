#include "terminal/prompt/History.h"

void History_Clear(CommandHistory *history)
{
    for (std::string &line : history->lines)
        line.clear();
    history->newest = 0;
    history->count = 0;
}

void History_Add(CommandHistory *history, const char *line)
{
    const char *newest = History_Line(history, 1);
    if (*line == '\0' || (newest != nullptr && history->lines[history->newest] == line))
        return;
    history->newest = (history->newest + 1) % MAX_HISTORY_LINES;
    history->lines[history->newest] = line;
    if (history->count < MAX_HISTORY_LINES)
        history->count++;
}

const char *History_Line(const CommandHistory *history, size_t age)
{
    if (age == 0 || age > history->count)
        return nullptr;
    size_t index = (history->newest + MAX_HISTORY_LINES - (age - 1)) % MAX_HISTORY_LINES;
    return history->lines[index].c_str();
}
