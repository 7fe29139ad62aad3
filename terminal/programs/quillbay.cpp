// quillbay: the terminal printer with the alarm ticker and the current grammar.
#include "terminal/TerminalProgram.h"
#include "terminal/Usage.h"
#include "terminal/programs/Programs.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, TerminalProgramUsage(QUILLBAY_SETTINGS));
    return RunTerminalProgram(QUILLBAY_SETTINGS);
}
