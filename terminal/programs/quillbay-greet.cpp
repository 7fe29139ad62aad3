// quillbay-greet: the alarm ticker, the earlier grammar, the command echo and
// a greeting on standard output at start-up.
#include "terminal/TerminalProgram.h"
#include "terminal/Usage.h"
#include "terminal/programs/Programs.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_GREET_USAGE);
    return RunTerminalProgram(QUILLBAY_GREET_SETTINGS);
}
