// Fuzz target: the line-mode program's command grammar, with its engine
// step between the lines.
//
// The input is cut into lines of at most 2047 bytes, as its bounded read
// cuts them; a line that begins with 0x01 is an engine step, any other is a
// command line. The records are checked after each.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "line/Line.h"
#include "tests/support/Descriptors.h"
#include "tests/support/ListRecords.h"
#include "tests/support/Records.h"

static int s_descriptorsAtStart;

static int32_t WalkedCount(LinkedListInstance *list)
{
    std::vector<const void *> records = ListRecords<void>(list);
    if (std::find(records.begin(), records.end(), nullptr) != records.end())
        FuzzFailure("a list node without its record");
    auto count = static_cast<int32_t>(records.size());
    if (count != GetNodeCount(list))
        FuzzFailure("a list's count differs from its nodes");
    return count;
}

static void CheckRecords()
{
    if (WalkedCount(&linemode::g_JobWaitList) > MAX_WAIT_JOBS)
        FuzzFailure("more jobs wait than the list holds");
    WalkedCount(&linemode::g_UserInfoList);
    PrinterState state = linemode::g_PrinterContext.state;
    if (state != PRINTER_WAITING && state != PRINTER_PRINTING && state != PRINTER_NEED_SUPPLIES &&
        state != PRINTER_REQUEST_CANCEL)
        FuzzFailure("a printer state this program never sets");
    if (linemode::g_PrinterContext.ink != 0 || linemode::g_PrinterContext.paper != 0 ||
        linemode::g_PrinterContext.pCurrentJob != nullptr)
        FuzzFailure("the printer's levels or current job changed");
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    EnterFuzzScratchDirectory("line", argc, argv);
    if (freopen("/dev/null", "w", stdout) == nullptr)  // the user listing
        FuzzFailure("cannot silence standard output");
    linemode::CreateLists();
    s_descriptorsAtStart = CountOpenDescriptors();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (std::string_view line : SplitFuzzLines(data, size, linemode::COMMAND_BUFFER_SIZE - 1)) {
        if (!line.empty() && line[0] == '\x01')
            linemode::RunEngineStep();
        else
            linemode::HandleCommandLine(std::string(line).c_str());
        CheckRecords();
    }
    ResetLineRecords();
    if (CountOpenDescriptors() != s_descriptorsAtStart) {
        ListOpenDescriptors();
        FuzzFailure("a descriptor outlived its job");
    }
    return 0;
}
