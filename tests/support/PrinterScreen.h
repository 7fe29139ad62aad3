// The headless-screen fixture with the readings that printer and command
// tests share: the error row, the status row, engine ticks, the wait list,
// the output files and the process's open descriptors.
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/screen/Screen.h"
#include "terminal/programs/Programs.h"
#include "tests/support/Descriptors.h"
#include "tests/support/HeadlessScreen.h"
#include "tests/support/ListRecords.h"

// One waiting job as the tests compare it.
struct WaitingJob {
    int32_t userID;
    int32_t needInk;
    int32_t needPaper;
    bool operator==(const WaitingJob &) const = default;
};

inline void PrintTo(const WaitingJob &job, std::ostream *out)
{
    *out << "{uid " << job.userID << ", ink " << job.needInk << ", paper " << job.needPaper << "}";
}

class PrinterScreen : public HeadlessScreen {
protected:
    void SetUp() override
    {
        HeadlessScreen::SetUp();
        ClearErrorRow();  // InitPrinter's mkdir message
    }

    static std::string TrimRight(std::string text)
    {
        text.erase(text.find_last_not_of(' ') + 1);
        return text;
    }
    static constexpr int TEXT_WIDTH = SCREEN_MIN_COLUMNS - 1 - TEXT_COLUMN;  // up to the right frame

    // The error row from its text column to the frame; "" when nothing is shown.
    static std::string ErrorRow() { return TrimRight(Cells(g_pCommandWindow, ERROR_ROW, TEXT_COLUMN, TEXT_WIDTH)); }
    static void ClearErrorRow() { EndCommandInput(); }

    // A status window row from its text column, as the last redraw left it.
    static std::string PrinterRow(int row)
    {
        return g_pPrinterWindow == nullptr ? "<no window>"
                                           : TrimRight(Cells(g_pPrinterWindow, row, TEXT_COLUMN, TEXT_WIDTH));
    }
    static std::string Status() { return PrinterRow(STATUS_ROW); }
    static std::string CurrentJobRow() { return PrinterRow(CURRENT_JOB_ROW); }

    static void Tick(int count = 1)
    {
        for (int i = 0; i < count; i++)
            PrinterEngineController();
    }

    // The settings record of the program that speaks this grammar.
    static const BuildSettings &ProgramOfGrammar(GrammarGeneration grammar)
    {
        switch (grammar) {
        case GRAMMAR_CURRENT: return QUILLBAY_SETTINGS;
        case GRAMMAR_EARLIER: return QUILLBAY_ECHO_SETTINGS;
        case GRAMMAR_EARLIEST: return QUILLBAY_THREAD_SETTINGS;
        }
        return QUILLBAY_SETTINGS;
    }

    static void SetPrinterLevels(uint32_t ink, uint32_t paper)
    {
        g_PrinterContext.ink = ink;
        g_PrinterContext.paper = paper;
    }

    static std::vector<WaitingJob> WaitingJobs()
    {
        std::vector<WaitingJob> jobs;
        for (const PrintJob *job : ListRecords<PrintJob>(&g_JobWaitList))
            jobs.push_back({job->userID, job->needInk, job->needPaper});
        return jobs;
    }

    // Names of the files in PRINT, sorted.
    static std::vector<std::string> OutputFiles()
    {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto &entry : std::filesystem::directory_iterator("PRINT", error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The content of the only output file, or a note of how many there are.
    static std::string OnlyOutput()
    {
        std::vector<std::string> names = OutputFiles();
        if (names.size() != 1)
            return "<" + std::to_string(names.size()) + " output files>";
        return ReadFile("PRINT/" + names[0]);
    }

    // Open descriptors of files in the process: a job's streams must not leak.
    static int OpenDescriptors() { return CountOpenDescriptors(); }
};
