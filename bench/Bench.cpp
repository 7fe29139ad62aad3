// quillbay-bench: admission's measuring of files of 8, 80 and 800 MB on one
// and on two threads (in bytes per second, which stay level when the cost
// grows linearly with the size), the print-line rule it replaces, one
// printing engine step, and one redraw of the status window on a headless
// screen. --text=FILE stands for the 800 MB file, which the generator makes
// alike (bench/compare.sh passes its own).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "administration/Administrator.h"
#include "bench/BenchText.h"
#include "common/Arguments.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"
#include "engine/Printer.h"
#include "terminal/loop/FileNames.h"
#include "terminal/prompt/LineHint.h"
#include "terminal/prompt/Prompt.h"
#include "terminal/screen/StatusWindow.h"
#include "tests/support/HeadlessTerminal.h"

constexpr uint64_t JOB_TEXT_LINES = 1000;          // 101 sheets a job
constexpr uint32_t PLENTY = UINT32_MAX / 2;        // ink and paper no job exhausts
constexpr int WAITING_JOBS = 4;                    // in the wait list while redrawing
constexpr int HINT_USERS = 20000;                  // registered while the hint is measured
constexpr int HINT_FILES = 10000;                  // beside the print files then

static std::string s_scratch;   // the working directory
static std::string s_textPath;  // the 800 MB file when given
static std::string s_jobPath;   // the file the engine prints

static bool WriteTextFile(const std::string &path, uint64_t lines)
{
    FILE *output = fopen(path.c_str(), "w");
    return output != nullptr && WriteBenchText(output, lines) && fclose(output) == 0;
}

constexpr int ROTATION_MB = 160;  // files measured in turn: more than the last-level cache holds

// The generated file of about `megabytes` MB (the generator writes 65
// bytes a line on average), made on first use, in as many copies as
// ROTATION_MB takes: measured in turn, none is still in the processor's
// cache from its last turn, as a large file is not, so the sizes compare.
// Empty when a file cannot be written.
static std::vector<std::string> TextFiles(int megabytes)
{
    if (megabytes == 800 && !s_textPath.empty())
        return {s_textPath};
    std::vector<std::string> paths;
    for (int copy = 0; copy < std::max(1, ROTATION_MB / megabytes); copy++) {
        std::string path = s_scratch + "/text-" + std::to_string(megabytes) + "-" + std::to_string(copy) + ".txt";
        bool isMade = std::filesystem::exists(path) ||
                      (copy == 0 ? WriteTextFile(path, BENCH_TEXT_LINES / 800 * static_cast<uint64_t>(megabytes))
                                 : std::filesystem::copy_file(paths[0], path));
        if (!isMade)
            return {};
        paths.push_back(path);
    }
    return paths;
}

static PrintMeasure MeasureFile(const std::string &path, PrintMeasure (*measure)(FILE *))
{
    FILE *input = fopen(path.c_str(), "r");
    PrintMeasure result = measure(input);
    fclose(input);
    return result;
}

static void MeasureWith(benchmark::State &state, const std::vector<std::string> &paths,
                        PrintMeasure (*measure)(FILE *))
{
    if (paths.empty()) {
        state.SkipWithError("cannot write the text file");
        return;
    }
    for (const std::string &path : paths)
        MeasureFile(path, measure);  // into the page cache before the clock runs
    size_t turn = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(MeasureFile(paths[turn++ % paths.size()], measure));
    uint64_t bytes = std::filesystem::file_size(paths[0]);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

static void BM_MeasurePrintLines(benchmark::State &state)
{
    MeasureWith(state, TextFiles(8), MeasurePrintFile);
}
BENCHMARK(BM_MeasurePrintLines)->Unit(benchmark::kMillisecond);

static PrintMeasure MeasureOnOneThread(FILE *input)
{
    return MeasurePrintFileWith(input, {1, -1});
}

static PrintMeasure MeasureOnTwoThreads(FILE *input)
{
    return MeasurePrintFileWith(input, {2, -1});
}

// Arguments: the file's size in MB, the threads.
static void BM_MeasureBlocks(benchmark::State &state)
{
    MeasureWith(state, TextFiles(static_cast<int>(state.range(0))),
                state.range(1) == 1 ? MeasureOnOneThread : MeasureOnTwoThreads);
}
// Wall time, since the second thread's work is not the main thread's CPU time.
BENCHMARK(BM_MeasureBlocks)->ArgsProduct({{8, 80, 800}, {1, 2}})->ArgNames({"MB", "threads"})
    ->UseRealTime()->Unit(benchmark::kMillisecond);

// Queues the job file on a printer with plenty of supplies and lets the
// engine start it. Earlier output files go, so the disk does not fill up.
static void StartJob()
{
    std::filesystem::remove_all("PRINT");  // the engine makes it again
    g_PrinterContext.ink = PLENTY;
    g_PrinterContext.paper = PLENTY;
    Printer_AddJob(0, s_jobPath.c_str());
    PrinterEngineController();
}

static void EndJobs()
{
    CancelAll();
    PrinterEngineController();
}

// One tick of a printing job: ten print lines read, written and flushed,
// and the status window redrawn.
static void BM_PrintingStep(benchmark::State &state)
{
    StartJob();
    for (auto _ : state) {
        if (g_PrinterContext.pCurrentJob == nullptr) {
            state.PauseTiming();
            StartJob();
            state.ResumeTiming();
        }
        PrinterEngineController();
    }
    EndJobs();
}
BENCHMARK(BM_PrintingStep)->Unit(benchmark::kMicrosecond);

// The status window with a job printing, a full wait list and the users;
// mode 2 is the engine's redraw, mode 3 also lists the users.
static void BM_StatusRedraw(benchmark::State &state)
{
    StartJob();
    for (int i = 0; i < WAITING_JOBS; i++)
        Printer_AddJob(i, s_jobPath.c_str());
    int mode = static_cast<int>(state.range(0));
    for (auto _ : state)
        display(mode);
    EndJobs();
}
BENCHMARK(BM_StatusRedraw)->Arg(DISPLAY_ORDINARY)->Arg(DISPLAY_USER_LIST)->Unit(benchmark::kMicrosecond);

// 20,000 users and 10,000 files beside the scratch directory's own, for
// the hint. Registered last: the benchmarks above see four users.
static void AddHintWorld()
{
    char name[MAX_USER_NAME_LEN + 1];
    for (int i = 0; i < HINT_USERS; i++) {
        snprintf(name, sizeof name, "user%05d", i);
        AddUser(name);
    }
    for (int i = 0; i < HINT_FILES; i++) {
        snprintf(name, sizeof name, "file%05d.txt", i);
        WriteTextFile(name, 1 + i % 40);
    }
}

// What the hint costs a key: lines of every kind typed key by key (the
// line as each key leaves it), the last user of 20,000 among them, and
// file names in a directory of 10,000. Google Benchmark's mean hides the
// slow keys, so the median, the 99th percentile and the slowest of the
// last run are counters, in microseconds, and the slowest of all runs,
// which holds the one listing of the directory.
static void BM_LineHint(benchmark::State &state)
{
    static const bool isWorldAdded = (AddHintWorld(), true);
    (void)isWorldAdded;
    const char *const lines[] = {
        "user19999 Print file09876.txt", "user19999 Print file0987.tx", "user00001 Cancel",
        "admin Add User newcomer",       "admin Refill Ink=500 Paper=-1", "Printer Cancel All",
        "nobody Print file00001.txt",    "admin Add Usr x",
    };
    std::vector<std::string> typed;
    for (const char *line : lines) {
        for (size_t length = 1; length <= strlen(line); length++)
            typed.emplace_back(line, length);
    }
    static Prompt prompt;
    Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
    std::vector<double> micros;
    size_t next = 0;
    for (auto _ : state) {
        LineEditor_SetText(&prompt.editor, typed[next].c_str());
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Prompt_Hint(&prompt));
        micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        next = (next + 1) % typed.size();
    }
    std::sort(micros.begin(), micros.end());
    static double s_slowestEver = 0;  // over every run: the first listing of the 10,000 files is in the first
    s_slowestEver = std::max(s_slowestEver, micros.back());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
    state.counters["first_us"] = s_slowestEver;
}
BENCHMARK(BM_LineHint)->Unit(benchmark::kMicrosecond);

static const char PROGRAM[] = "quillbay-bench";
static const char USAGE[] =
    "Usage: quillbay-bench [--text=FILE] [--benchmark_...]\n"
    "\n"
    "Measures admission's measuring of generated files of 8, 80 and 800 MB, the\n"
    "print-line rule, one printing engine step and one redraw of the status\n"
    "window, in a scratch folder under $TMPDIR (or /tmp) that is removed\n"
    "however it ends.\n"
    "\n"
    "Options:\n"
    "  --text=FILE        FILE stands for the 800 MB file\n"
    "  --benchmark_...    Google Benchmark's own (--benchmark_filter=REGEX,\n"
    "                     --benchmark_min_time=SECONDS, --benchmark_list_tests...)\n"
    "  -h, --help         show this text and exit\n";

// True for an argument Google Benchmark takes.
static bool IsBenchmarkOption(const char *argument)
{
    return strncmp(argument, "--benchmark_", 12) == 0 || strncmp(argument, "--v=", 4) == 0;
}

// Takes --text=FILE out of the arguments (empty when not given) and checks
// the rest, before anything is created.
static std::string ReadArguments(int *argc, char **argv)
{
    const char option[] = "--text=";
    std::string path;
    int kept = 1;
    for (int i = 1; i < *argc; i++) {
        if (IsHelpArgument(argv[i]))
            ExitWithUsage(PROGRAM, USAGE);
    }
    for (int i = 1; i < *argc; i++) {
        if (strncmp(argv[i], option, sizeof option - 1) == 0)
            path = std::filesystem::absolute(argv[i] + sizeof option - 1);
        else if (IsBenchmarkOption(argv[i]))
            argv[kept++] = argv[i];
        else
            RefuseArgument(PROGRAM, argv[i]);
    }
    *argc = kept;
    benchmark::Initialize(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(*argc, argv))
        exit(EXIT_BAD_ARGUMENTS);
    return path;
}

// A scratch working directory with the records and a headless screen, as
// the program has them after start-up.
static bool SetUpPrinter(const std::string &scratch)
{
    if (chdir(scratch.c_str()) != 0)
        return false;
    if (!OpenHeadlessScreen())
        return false;
    InitAdmin();
    InitPrinter();
    const char *const users[] = {"ann", "bob", "cyd", "dee"};
    for (const char *user : users)
        AddUser(user);
    return true;
}

// The benchmarks, in the scratch directory. The exit status.
static int RunBenchmarks(const std::string &scratch)
{
    s_scratch = scratch;
    s_jobPath = scratch + "/job.txt";
    if (!WriteTextFile(s_jobPath, JOB_TEXT_LINES) || !SetUpPrinter(scratch)) {
        fprintf(stderr, "%s: cannot set up in %s\n", PROGRAM, scratch.c_str());
        return EXIT_FAILURE;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseHeadlessScreen();
    return EXIT_SUCCESS;
}

static pid_t s_child;  // the process that runs the benchmarks

static void ForwardSignal(int signalNumber)
{
    kill(s_child, signalNumber);
}

// Runs the benchmarks in a child process and waits for it, so that the
// scratch directory goes however they end: an exit from inside the
// library, a crash, a signal (which is passed on to the child). The
// child's exit status, or 128 and its signal.
static int RunInChild(const std::string &scratch)
{
    fflush(nullptr);
    s_child = fork();
    if (s_child == 0)
        exit(RunBenchmarks(scratch));
    if (s_child < 0) {
        perror("fork");
        return EXIT_FAILURE;
    }
    for (int signalNumber : {SIGHUP, SIGINT, SIGQUIT, SIGTERM})
        signal(signalNumber, ForwardSignal);
    int status = 0;
    while (waitpid(s_child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int main(int argc, char **argv)
{
    s_textPath = ReadArguments(&argc, argv);
    const char *directory = getenv("TMPDIR");
    std::string pattern = std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") +
                          "/quillbay-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        perror("mkdtemp");
        return EXIT_FAILURE;
    }
    int status = RunInChild(pattern);
    std::filesystem::remove_all(pattern);
    return status;
}
