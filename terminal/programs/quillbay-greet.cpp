// quillbay-greet: the alarm ticker, the earlier grammar, the command echo and
// a greeting on standard output at start-up.
#include "terminal/TerminalProgram.h"
#include "terminal/programs/Programs.h"

int main()
{
    return RunTerminalProgram(QUILLBAY_GREET_SETTINGS);
}
