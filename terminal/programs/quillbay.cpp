// quillbay: the terminal printer with the alarm ticker and the current grammar.
#include "terminal/TerminalProgram.h"
#include "terminal/programs/Programs.h"

int main()
{
    return RunTerminalProgram(QUILLBAY_SETTINGS);
}
