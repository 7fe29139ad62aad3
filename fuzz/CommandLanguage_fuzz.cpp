// Fuzz target: the terminal programs' command language with the engine
// stepping between the lines, on a headless screen.
//
// Input: the first byte picks the program whose grammar speaks (its build
// settings record); the rest is cut into lines of at most 2047 bytes, as
// the line editor bounds them. A line that begins with 0x01 is engine
// ticks, one per byte (64 at most in an input); one that begins with 0x02
// is typed through the line editor before it is handled; any other line
// goes to CommandSelector as it is, after the prompt's hint foresaw what it
// will do, and the hint must be right. The records are checked after every
// line and every tick.
//
// The terminal is below 80x25, so the windows are drawn but never sent
// out: sending them is curses' work, not ours, and made each input about
// three times as costly. The end-to-end tests cover the refreshes.
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "fuzz/FuzzSupport.h"
#include "terminal/loop/CommandSelector.h"
#include "terminal/loop/FileNames.h"
#include "terminal/prompt/LineEditor.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/Screen.h"
#include "terminal/programs/Programs.h"
#include "tests/support/Descriptors.h"
#include "tests/support/ForecastCheck.h"
#include "tests/support/HeadlessTerminal.h"
#include "tests/support/ListRecords.h"
#include "tests/support/Records.h"

// The settings records of the three grammar generations.
static const BuildSettings *const PROGRAMS[] = {
    &QUILLBAY_SETTINGS,
    &QUILLBAY_ECHO_SETTINGS,
    &QUILLBAY_THREAD_SETTINGS,
};

// Ticks cost the most (each redraws the status window); 64 refill the
// printer whole (30 steps) and still print a few sheets.
constexpr size_t MAX_TICKS_PER_INPUT = 64;

static int s_descriptorsAtStart;
static size_t s_ticksLeft;

// Fresh records, as start-up leaves them, and no output files.
static void ResetForNextInput()
{
    ResetRecords();
    EmptyDirectory("PRINT");
}

static void CheckWaitList()
{
    std::vector<const PrintJob *> jobs = ListRecords<PrintJob>(&g_JobWaitList);
    for (const PrintJob *job : jobs) {
        if (job->pInputFile == nullptr || job->pOutputFile != nullptr || job->needPaper < 1)
            FuzzFailure("a waiting job is not as admission left it");
    }
    auto walked = static_cast<int32_t>(jobs.size());
    if (walked != GetNodeCount(&g_JobWaitList) || walked > MAX_WAIT_JOBS)
        FuzzFailure("the wait list's count");
}

static void CheckRecords()
{
    const PrinterContext &printer = g_PrinterContext;
    if (printer.state < PRINTER_WAITING || printer.state > PRINTER_REQUEST_CANCEL)
        FuzzFailure("an unknown printer state");
    if (printer.state == PRINTER_PRINTING && printer.pCurrentJob == nullptr)
        FuzzFailure("printing without a current job");
    if (printer.ink > PRINTER_INK_CAPACITY || printer.paper > PRINTER_PAPER_CAPACITY)
        FuzzFailure("the printer holds more than its capacity");
    const PrintJob *job = printer.pCurrentJob;
    if (job != nullptr && (job->printedPages < 0 || job->printedPages >= job->needPaper || job->pOutputFile == nullptr))
        FuzzFailure("the current job's sheets");
    CheckWaitList();
}

static void Tick()
{
    PrinterEngineController();
    CheckRecords();
}

// Types the line's characters one by one, as the command window would take
// them, then hands over what the editor holds.
static void TypeLine(std::string_view line)
{
    static LineEditor editor;
    LineEditor_Clear(&editor);
    DrawPrompt();
    mbstate_t state = {};
    for (size_t i = 0; i < line.size();) {
        wchar_t character;
        size_t count = mbrtowc(&character, line.data() + i, line.size() - i, &state);
        if (count == static_cast<size_t>(-1) || count == static_cast<size_t>(-2)) {
            state = {};
            character = static_cast<unsigned char>(line[i]);
            count = 1;
        } else if (count == 0) {
            count = 1;  // a NUL byte is a key like any other
        }
        if (character == L'\b')
            LineEditor_Erase(&editor);
        else if (character == 0x17)
            LineEditor_EraseWord(&editor);
        else if (character == 0x15)
            LineEditor_Kill(&editor);
        else
            LineEditor_Insert(&editor, character);
        i += count;
    }
    DrawCommandLine(&editor);
    EndCommandInput();
    CommandSelector(editor.bytes);
}

static void HandleLine(std::string_view line)
{
    if (!line.empty() && line[0] == '\x01') {
        for (size_t i = 0; i < line.size() && s_ticksLeft > 0; i++, s_ticksLeft--)
            Tick();
        return;
    }
    if (!line.empty() && line[0] == '\x02') {
        TypeLine(line.substr(1));
    } else {
        std::string text(line);  // NUL-terminated; an inner NUL ends it, as in the editor's buffer
        std::string difference = CheckForecastHolds(text.c_str(), &FILE_SYSTEM_NAMES);
        if (!difference.empty())
            FuzzFailure(difference.c_str());
        if (g_BuildSettings.echoesCommand)
            EchoCommand(text.c_str());
    }
    CheckRecords();
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    EnterFuzzScratchDirectory("commands", argc, argv);
    if (!OpenHeadlessScreen())
        FuzzFailure("cannot open the headless screen");
    ApplyTerminalSize(SCREEN_MIN_LINES - 1, SCREEN_MIN_COLUMNS);
    ResetForNextInput();
    s_descriptorsAtStart = CountOpenDescriptors();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    g_BuildSettings = *PROGRAMS[data[0] % (sizeof PROGRAMS / sizeof PROGRAMS[0])];
    s_ticksLeft = MAX_TICKS_PER_INPUT;
    for (std::string_view line : SplitFuzzLines(data + 1, size - 1, MAX_COMMAND_LINE_BYTES))
        HandleLine(line);
    ResetForNextInput();
    if (CountOpenDescriptors() != s_descriptorsAtStart) {
        ListOpenDescriptors();
        FuzzFailure("a descriptor outlived its job");
    }
    return 0;
}
