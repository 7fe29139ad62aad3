// quillbay-echo: as quillbay-greet without the greeting; PRINT gets mode 0755.
#include "terminal/TerminalProgram.h"
#include "terminal/Usage.h"
#include "terminal/programs/Programs.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, TerminalProgramUsage(QUILLBAY_ECHO_SETTINGS));
    return RunTerminalProgram(QUILLBAY_ECHO_SETTINGS);
}
