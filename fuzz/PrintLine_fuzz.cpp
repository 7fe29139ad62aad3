// Fuzz target: the print-line reading rule on arbitrary file content.
//
// The input is the whole content of a print file. It is measured line by
// line and in blocks, with every scanning path on one thread and on two
// (split in the middle and at an offset the input's first bytes choose, so
// the fuzzer steers the split onto line feeds, CR LF pairs, zero bytes and
// long lines); all must agree with the rule. Then
// it is admitted to a printer with room for anything and printed to the
// end by engine ticks: the job must use exactly the ink and the sheets it
// was admitted with, and its output file must hold exactly the file's
// print lines.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>

#include "administration/Administrator.h"
#include "engine/ByteScan.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"
#include "engine/Printer.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/Descriptors.h"

static const char INPUT_NAME[] = "input.txt";
constexpr uint32_t ROOMY_LEVEL = 0xFFFFFFFFu;  // printer levels no fuzz input can exhaust

static int s_descriptorsAtStart;

// What the rule makes of a file, read the plain way.
struct Expected {
    PrintMeasure measure;
    std::string printed;
};

static Expected ReadExpected()
{
    Expected expected = {{0, 0, true}, ""};
    FILE *input = fopen(INPUT_NAME, "r");
    if (input == nullptr)
        FuzzFailure("cannot open the input again");
    char line[LINE_BUFFER_SIZE];
    while (!IsPrintInputDone(input)) {
        size_t length = ReadPrintLine(input, line);
        if (length > PRINT_LINE_WIDTH + 2 || memchr(line, '\0', length) != nullptr)
            FuzzFailure("a print line longer than its cut");
        expected.printed.append(line, length);
        expected.measure.ink += PrintLineInk(line, length);
        expected.measure.reads++;
    }
    fclose(input);
    return expected;
}

static PrintMeasure MeasureWith(const MeasurePlan *plan)
{
    FILE *input = fopen(INPUT_NAME, "r");
    if (input == nullptr)
        FuzzFailure("cannot open the input");
    PrintMeasure result = plan == nullptr ? MeasurePrintFile(input) : MeasurePrintFileWith(input, *plan);
    if (!feof(input) && fgetc(input) != EOF)
        FuzzFailure("measuring left bytes unread");
    fclose(input);
    return result;
}

static void ExpectSameMeasure(const PrintMeasure &a, const PrintMeasure &b, const char *what)
{
    if (a.reads != b.reads || a.ink != b.ink || a.isReadable != b.isReadable)
        FuzzFailure(what);
}

// Every scanning path, on one thread and on two threads.
static void ExpectBlocksMeasureByTheRule(const uint8_t *data, size_t size, const PrintMeasure &expected)
{
    uint16_t chosen = size >= 2 ? static_cast<uint16_t>(data[0] | data[1] << 8) : 0;
    const MeasurePlan plans[] = {
        {1, -1},
        {2, -1},
        {2, static_cast<int64_t>(chosen % (size + 1))},
    };
    for (int path = 0; path < SCAN_PATH_COUNT; path++) {
        if (!ForceScanPath(static_cast<ScanPath>(path)))
            continue;
        for (const MeasurePlan &plan : plans)
            ExpectSameMeasure(MeasureWith(&plan), expected, "MeasurePrintFileWith differs from the rule");
    }
    ForceScanPath(BestScanPath());
}

static std::string OnlyOutputFile()
{
    DIR *directory = opendir("PRINT");
    std::string name;
    int files = 0;
    while (struct dirent *entry = readdir(directory)) {
        if (entry->d_name[0] != '.') {
            name = entry->d_name;
            files++;
        }
    }
    closedir(directory);
    if (files != 1)
        FuzzFailure("the job did not leave exactly one output file");
    std::ifstream file("PRINT/" + name, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// Admits the input and ticks until the printer is idle again.
static void PrintThroughEngine(const Expected &expected)
{
    g_PrinterContext = {};
    g_PrinterContext.ink = ROOMY_LEVEL;
    g_PrinterContext.paper = ROOMY_LEVEL;
    if (Printer_AddJob(0, INPUT_NAME) != 1)
        FuzzFailure("a roomy printer refused the job");
    const PrintJob *waiting = static_cast<const PrintJob *>(GetFirstNode(&g_JobWaitList)->pData);
    uint64_t needPaper = SheetsForReads(expected.measure.reads);
    if (static_cast<uint64_t>(waiting->needInk) != expected.measure.ink ||
        static_cast<uint64_t>(waiting->needPaper) != needPaper)
        FuzzFailure("admission's needs differ from the file's print lines");
    for (uint64_t tick = 0; tick < needPaper + 1; tick++)
        PrinterEngineController();
    if (g_PrinterContext.pCurrentJob != nullptr || GetNodeCount(&g_JobWaitList) != 0)
        FuzzFailure("the job did not end on its last sheet");
    if (ROOMY_LEVEL - g_PrinterContext.ink != expected.measure.ink || ROOMY_LEVEL - g_PrinterContext.paper != needPaper)
        FuzzFailure("printing used other supplies than admission measured");
    if (OnlyOutputFile() != expected.printed)
        FuzzFailure("the output file is not the file's print lines");
    EmptyDirectory("PRINT");
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    EnterFuzzScratchDirectory("printline", argc, argv);
    // No screen is opened: curses refuses each sheet's redraw at once, so a
    // tick costs only the engine's own work. The command-language target
    // fuzzes the drawing.
    InitAdmin();
    InitPrinter();
    s_descriptorsAtStart = CountOpenDescriptors();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        std::ofstream file(INPUT_NAME, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    Expected expected = ReadExpected();
    ExpectSameMeasure(MeasureWith(nullptr), expected.measure, "MeasurePrintFile differs from the rule");
    ExpectBlocksMeasureByTheRule(data, size, expected.measure);
    PrintThroughEngine(expected);
    if (CountOpenDescriptors() != s_descriptorsAtStart) {
        ListOpenDescriptors();
        FuzzFailure("a descriptor outlived its job");
    }
    return 0;
}
