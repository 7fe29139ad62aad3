// quillbay-line: the line-mode program. Creates its lists, starts the
// engine worker and reads commands from standard input until it is ended
// from outside.
#include "line/Line.h"
#include "line/Usage.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_LINE_USAGE);
    linemode::CreateLists();
    linemode::SetDigitalClock();
    linemode::CommandLoop();
}
