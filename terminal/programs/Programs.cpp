#include "terminal/programs/Programs.h"

// What each program is, the first paragraph of its usage text.
static const char QUILLBAY_SUMMARY[] =
    "A console simulation of one shared printer run by an administrator. The\n"
    "operator types command lines at the \">>\" prompt of a curses terminal of at\n"
    "least 80 columns by 25 rows. Once a second the engine moves ink and paper\n"
    "from the stock into the printer, starts the next job, or prints one sheet of\n"
    "up to ten lines; the status window above the prompt shows it all.\n";

static const char THREAD_SUMMARY[] =
    "quillbay with the engine on a worker thread (a step at once, then one a\n"
    "second), the earlier command language in which any Refill amount reaches the\n"
    "stock, and each command line echoed under the prompt. A console simulation\n"
    "of one shared printer, in a curses terminal of at least 80x25.\n";

static const char GREET_SUMMARY[] =
    "quillbay with the earlier command language, each command line echoed under\n"
    "the prompt, and the greeting \"helloworld!\" written to standard output at\n"
    "start. A console simulation of one shared printer, in a curses terminal of\n"
    "at least 80x25.\n";

static const char ECHO_SUMMARY[] =
    "quillbay-greet without the greeting; it creates PRINT with mode 0755. A\n"
    "console simulation of one shared printer, in a curses terminal of at least\n"
    "80x25, with the earlier command language and each command line echoed.\n";

const BuildSettings QUILLBAY_SETTINGS = {
    .programName = "quillbay",
    .summary = QUILLBAY_SUMMARY,
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_CURRENT,
    .echoesCommand = false,
    .greeting = nullptr,
    .printDirMode = 0777,
};

// The earliest grammar: any Refill amount reaches the stock.
const BuildSettings QUILLBAY_THREAD_SETTINGS = {
    .programName = "quillbay-thread",
    .summary = THREAD_SUMMARY,
    .ticker = TICKER_WORKER_THREAD,
    .grammar = GRAMMAR_EARLIEST,
    .echoesCommand = true,
    .greeting = nullptr,
    .printDirMode = 0777,
};

// The greeting goes to standard output once, at start-up.
const BuildSettings QUILLBAY_GREET_SETTINGS = {
    .programName = "quillbay-greet",
    .summary = GREET_SUMMARY,
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = "helloworld!",
    .printDirMode = 0777,
};

const BuildSettings QUILLBAY_ECHO_SETTINGS = {
    .programName = "quillbay-echo",
    .summary = ECHO_SUMMARY,
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = nullptr,
    .printDirMode = 0755,
};
