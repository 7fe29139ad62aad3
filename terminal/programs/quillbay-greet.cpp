// quillbay-greet: the alarm ticker, the earlier grammar, the command echo and
// a greeting on standard output at start-up.
#include "terminal/BuildSettings.h"

static const BuildSettings QUILLBAY_GREET_SETTINGS = {
    .programName = "quillbay-greet",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = "helloworld!",
    .printDirMode = 0777,
};

int main()
{
    return RunTerminalProgram(QUILLBAY_GREET_SETTINGS);
}
