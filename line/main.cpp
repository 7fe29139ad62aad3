// quillbay-line: the line-mode program. Creates its lists, starts the
// engine worker and reads commands from standard input until it is ended
// from outside.
#include "line/Line.h"

int main()
{
    linemode::CreateLists();
    linemode::SetDigitalClock();
    linemode::CommandLoop();
}
