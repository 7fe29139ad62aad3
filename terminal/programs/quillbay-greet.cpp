// quillbay-greet: the alarm ticker, the earlier grammar, the command echo and
// a greeting on standard output at start-up.
#include "terminal/TerminalProgram.h"
#include "terminal/Usage.h"
#include "terminal/programs/Programs.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, TerminalProgramUsage(QUILLBAY_GREET_SETTINGS));
    return RunTerminalProgram(QUILLBAY_GREET_SETTINGS);
}
