#include "terminal/programs/Programs.h"

const BuildSettings QUILLBAY_SETTINGS = {
    .programName = "quillbay",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_CURRENT,
    .echoesCommand = false,
    .greeting = nullptr,
    .printDirMode = 0777,
};

// The earliest grammar: any Refill amount reaches the stock.
const BuildSettings QUILLBAY_THREAD_SETTINGS = {
    .programName = "quillbay-thread",
    .ticker = TICKER_WORKER_THREAD,
    .grammar = GRAMMAR_EARLIEST,
    .echoesCommand = true,
    .greeting = nullptr,
    .printDirMode = 0777,
};

// The greeting goes to standard output once, at start-up.
const BuildSettings QUILLBAY_GREET_SETTINGS = {
    .programName = "quillbay-greet",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = "helloworld!",
    .printDirMode = 0777,
};

const BuildSettings QUILLBAY_ECHO_SETTINGS = {
    .programName = "quillbay-echo",
    .ticker = TICKER_ALARM,
    .grammar = GRAMMAR_EARLIER,
    .echoesCommand = true,
    .greeting = nullptr,
    .printDirMode = 0755,
};
