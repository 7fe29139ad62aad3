// quillbay-thread: the worker-thread ticker, the earliest grammar (any
// Refill amount reaches the stock) and the command echo.
#include "terminal/TerminalProgram.h"
#include "terminal/Usage.h"
#include "terminal/programs/Programs.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, TerminalProgramUsage(QUILLBAY_THREAD_SETTINGS));
    return RunTerminalProgram(QUILLBAY_THREAD_SETTINGS);
}
