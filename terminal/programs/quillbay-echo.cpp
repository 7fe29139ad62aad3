// quillbay-echo: as quillbay-greet without the greeting; PRINT gets mode 0755.
#include "terminal/TerminalProgram.h"
#include "terminal/programs/Programs.h"

int main()
{
    return RunTerminalProgram(QUILLBAY_ECHO_SETTINGS);
}
