// quillbay: the terminal printer with the alarm ticker and the current grammar.
#include "terminal/BuildSettings.h"
#include "terminal/Usage.h"

static const BuildSettings QUILLBAY_SETTINGS = {
    .programName = "quillbay",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_CURRENT,
    .echoesCommand = false,
    .greeting = nullptr,
    .printDirMode = 0777,
};

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_USAGE);
    return RunTerminalProgram(QUILLBAY_SETTINGS);
}
