#include "tests/support/HeadlessTerminal.h"

#include <clocale>
#include <cstdlib>
#include <string>

#include "terminal/screen/Screen.h"

static FILE *s_output;  // the screen's output, /dev/null
static FILE *s_input;   // the screen's keys

bool OpenHeadlessScreen(FILE *keys, int lines, int columns)
{
    setenv("LINES", std::to_string(lines).c_str(), 1);
    setenv("COLUMNS", std::to_string(columns).c_str(), 1);
    setlocale(LC_ALL, "C.UTF-8");
    s_output = fopen("/dev/null", "w");
    s_input = keys != nullptr ? keys : fopen("/dev/null", "r");
    if (s_output != nullptr && s_input != nullptr && InitDisplayOn("xterm-256color", s_output, s_input) == DISPLAY_OPENED)
        return true;
    CloseHeadlessScreen();
    return false;
}

void CloseHeadlessScreen()
{
    CloseDisplay();
    for (FILE **stream : {&s_output, &s_input}) {
        if (*stream != nullptr)
            fclose(*stream);
        *stream = nullptr;
    }
}
