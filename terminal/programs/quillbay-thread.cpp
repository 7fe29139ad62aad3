// quillbay-thread: the worker-thread ticker, the earliest grammar (any
// Refill amount reaches the stock) and the command echo.
#include "terminal/BuildSettings.h"
#include "terminal/Usage.h"

static const BuildSettings QUILLBAY_THREAD_SETTINGS = {
    .programName = "quillbay-thread",
    .ticker = TICKER_WORKER_THREAD,
    .grammar = GRAMMAR_EARLIEST,
    .echoesCommand = true,
    .greeting = nullptr,
    .printDirMode = 0777,
};

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_THREAD_USAGE);
    return RunTerminalProgram(QUILLBAY_THREAD_SETTINGS);
}
