// quillbay-greet: the alarm ticker, the earlier grammar, the command echo and
// a greeting on standard output at start-up.
#include "terminal/BuildSettings.h"
#include "terminal/Usage.h"

static const BuildSettings QUILLBAY_GREET_SETTINGS = {
    .programName = "quillbay-greet",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = "helloworld!",
    .printDirMode = 0777,
};

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_GREET_USAGE);
    return RunTerminalProgram(QUILLBAY_GREET_SETTINGS);
}
