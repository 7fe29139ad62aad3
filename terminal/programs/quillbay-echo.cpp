// quillbay-echo: as quillbay-greet without the greeting; PRINT gets mode 0755.
#include "terminal/BuildSettings.h"
#include "terminal/Usage.h"

static const BuildSettings QUILLBAY_ECHO_SETTINGS = {
    .programName = "quillbay-echo",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = nullptr,
    .printDirMode = 0755,
};

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_ECHO_USAGE);
    return RunTerminalProgram(QUILLBAY_ECHO_SETTINGS);
}
