#include "terminal/prompt/LineHint.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "administration/Administrator.h"
#include "administration/CommandRoute.h"
#include "common/Text.h"
#include "engine/Printer.h"
#include "terminal/prompt/Completion.h"
#include "terminal/prompt/Prompt.h"
#include "terminal/prompt/PromptWords.h"

constexpr int NEAR_EDITS = 2;                // edits that still make a long word or file name near
constexpr size_t LONG_WORD_BYTES = 8;         // shorter words are near at one edit only
constexpr size_t NEAR_NAMES_EACH_SIDE = 64;  // file names looked at on each side of where the name would sort

LineForecast ForeseeCommandLine(const char *line, const PromptFiles *files)
{
    LineForecast forecast = {DecideCommandLine(line), {PRINT_FILE_MISSING, 0, false, 0, 0, ""}, VERDICT_NOTHING, ""};
    forecast.verdict = forecast.decision.verdict;
    forecast.message = forecast.decision.message;
    if (forecast.decision.action == COMMAND_PRINT && files != nullptr) {
        forecast.admission = files->forecast(forecast.decision.fileName.c_str());
        if (!forecast.admission.message.empty()) {
            forecast.verdict = VERDICT_REFUSED;
            forecast.message = forecast.admission.message;
        }
    }
    return forecast;
}

// ---------------------------------------------------------------- words

// A count with its thousands set apart: 61,888,890.
static std::string Count(uint64_t number)
{
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

static std::string Counted(uint64_t number, const char *one, const char *many)
{
    return Count(number) + " " + (number == 1 ? one : many);
}

// A file's size, in the unit that shows it best.
static std::string Size(uint64_t bytes)
{
    static const char *const UNITS[] = {"bytes", "KB", "MB", "GB", "TB"};
    size_t unit = 0;
    uint64_t whole = bytes;
    while (whole >= 10000 && unit + 1 < sizeof UNITS / sizeof UNITS[0]) {
        whole /= 1000;
        unit++;
    }
    return Count(whole) + " " + UNITS[unit];
}

// The edits that still make a word of this length near another: a slip in
// a short word makes another word of it.
static int NearEditsFor(size_t length)
{
    return length >= LONG_WORD_BYTES ? NEAR_EDITS : 1;
}

// Edits (a character put in, taken out or replaced) from `a` to `b`, ASCII
// letter case ignored; NEAR_EDITS + 1 for anything farther.
static int Edits(std::string_view a, std::string_view b)
{
    const int far = NEAR_EDITS + 1;
    if (a.size() > b.size() + NEAR_EDITS || b.size() > a.size() + NEAR_EDITS)
        return far;
    std::vector<int> previous(b.size() + 1), current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); j++)
        previous[j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); i++) {
        current[0] = static_cast<int>(i);
        int best = current[0];
        for (size_t j = 1; j <= b.size(); j++) {
            int replace = previous[j - 1] + (AsciiLower(a[i - 1]) == AsciiLower(b[j - 1]) ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, replace});
            best = std::min(best, current[j]);
        }
        if (best >= far)
            return far;
        std::swap(previous, current);
    }
    return std::min(previous[b.size()], far);
}

// The keyword that the start of `typed` comes nearest, within NEAR_EDITS;
// NULL when none is that near, or when `typed` is one already.
static const char *NearestKeyword(const char *typed, const std::vector<const char *> &keywords)
{
    const char *nearest = nullptr;
    int nearestEdits = NEAR_EDITS + 1;
    std::string_view text = typed;
    for (const char *keyword : keywords) {
        if (*typed != '\0' && StartsWithKeyword(keyword, typed) && nearestEdits > 1) {
            nearest = keyword;  // the start of it, cut short
            nearestEdits = 1;
        }
        size_t length = strlen(keyword);
        for (size_t take = length > NEAR_EDITS ? length - NEAR_EDITS : 0; take <= length + NEAR_EDITS; take++) {
            int edits = Edits(text.substr(0, std::min(take, text.size())), keyword);
            if (edits <= NearEditsFor(length) && edits < nearestEdits) {
                nearest = keyword;
                nearestEdits = edits;
            }
        }
    }
    return nearestEdits == 0 ? nullptr : nearest;
}

static std::vector<const char *> AdminKeywords()
{
    std::vector<const char *> keywords;
    for (const AdminCommandRow &row : AdminCommandTable())
        keywords.push_back(row.keyword);
    return keywords;
}

static std::vector<const char *> UserKeywords()
{
    std::vector<const char *> keywords;
    for (const PrinterCommandRow &row : UserPrinterCommands())
        keywords.push_back(row.keyword);
    return keywords;
}

// "; did you mean X?" for a near keyword, else nothing.
static std::string DidYouMean(const char *prefix, const char *nearest)
{
    return nearest != nullptr ? std::string("; did you mean ") + prefix + nearest + "?" : "";
}

// ---------------------------------------------------------------- files

// The last directory listed for a near file name, sorted, while its stamp
// stays the same.
static struct {
    std::string directory;
    int64_t stamp = -1;
    std::vector<std::string> names;
} s_listing;

static const std::vector<std::string> &NamesIn(const PromptFiles *files, const std::string &directory)
{
    int64_t stamp = files->stamp(directory);
    if (stamp >= 0 && stamp == s_listing.stamp && directory == s_listing.directory)
        return s_listing.names;
    s_listing = {directory, stamp, {}};
    files->listNames(directory, [](const char *name) {
        s_listing.names.emplace_back(name);
        return s_listing.names.size() < MAX_DIRECTORY_ENTRIES;
    });
    std::sort(s_listing.names.begin(), s_listing.names.end());
    return s_listing.names;
}

// An existing name near a missing one: looked for among the names that
// sort nearest it, where a slip after the first letters lands.
static std::string NearestFileName(const PromptFiles *files, const std::string &fileName)
{
    size_t slash = fileName.rfind('/');
    std::string directory = slash == std::string::npos ? "" : fileName.substr(0, slash + 1);
    std::string base = fileName.substr(directory.size());
    const std::vector<std::string> &names = NamesIn(files, directory);
    auto at = std::lower_bound(names.begin(), names.end(), base);
    auto first = at - std::min<ptrdiff_t>(at - names.begin(), NEAR_NAMES_EACH_SIDE);
    auto last = at + std::min<ptrdiff_t>(names.end() - at, NEAR_NAMES_EACH_SIDE);
    const std::string *nearest = nullptr;
    int nearestEdits = NEAR_EDITS + 1;
    for (auto name = first; name != last; ++name) {
        int edits = (*name)[0] == '.' && base[0] != '.' ? NEAR_EDITS + 1 : Edits(base, *name);
        if (edits <= NearEditsFor(base.size()) && edits < nearestEdits) {
            nearest = &*name;
            nearestEdits = edits;
        }
    }
    return nearest != nullptr ? directory + *nearest : "";
}

// ---------------------------------------------------------------- each action

static std::string ExplainNothing(const CommandDecision &decision)
{
    const char *word = decision.word.c_str();
    switch (decision.reason) {
    case REASON_UNKNOWN_ADMIN_COMMAND:
        if (*word == '\0')
            return "nothing happens: admin needs Refill, Add User, Del User or Show User List";
        if (const char *nearest = NearestKeyword(word, AdminKeywords()))
            return std::string("nothing happens") + DidYouMean("admin ", nearest);
        return "nothing happens: admin takes Refill, Add User, Del User, Show User List";
    case REASON_NO_PRINTER_COMMAND:
        return std::string("nothing happens: after Printer only Cancel All acts") +
               DidYouMean("Printer ", NearestKeyword(word, {"Cancel All"}));
    case REASON_UNKNOWN_USER_COMMAND:
        return "nothing happens: " + decision.name + " can Print FILE or Cancel" +
               DidYouMean("", NearestKeyword(word, UserKeywords()));
    case REASON_NO_BLANK:
        if (AuthorizeCheck(word))
            return std::string("nothing happens yet: ") + word + " needs Print FILE or Cancel";
        if (const char *nearest = NearestKeyword(word, {ADMIN_WORD, PRINTER_WORD, "help", "quit", "exit"}))
            return std::string("nothing happens") + DidYouMean("", nearest);
        return "nothing happens: a command begins with admin, Printer or a user's name";
    case REASON_FIRST_WORD_TOO_LONG:
        return "nothing happens: no user: the first word has " + Counted(decision.word.size(), "byte", "bytes") +
               ", a name at most " + std::to_string(MAX_USER_NAME_LEN);
    case REASON_NAME_LENGTH:
        return "nothing happens: a name needs 1 to " + std::to_string(MAX_USER_NAME_LEN) + " bytes, this has " +
               Count(decision.word.size());
    default: return "nothing happens";
    }
}

static std::string ExplainRefused(const CommandDecision &decision)
{
    const std::string &word = decision.word;
    switch (decision.reason) {
    case REASON_UNKNOWN_USER: return word.empty() ? "refused: no user name before the blank" : word + " is not a registered user";
    case REASON_NAME_LENGTH:
        if (word.empty())
            return "refused: the name is missing";
        return "refused: a name has at most " + std::to_string(MAX_USER_NAME_LEN) + " bytes, this one " +
               Count(word.size());
    case REASON_NAME_TAKEN: return "refused: " + decision.name + " is registered already";
    case REASON_NAME_UNKNOWN: return "refused: nobody is registered as " + decision.name;
    case REASON_NO_JOB: return "refused: " + decision.name + " has no job to cancel";
    case REASON_WAIT_LIST_FULL: return "refused: the wait list is full, " + std::to_string(MAX_WAIT_JOBS) + " jobs";
    case REASON_UNKNOWN_USER_COMMAND:
        return "refused: " + decision.name + " can Print FILE or Cancel" +
               DidYouMean("", NearestKeyword(word.c_str(), UserKeywords()));
    default: return "refused: " + decision.message;
    }
}

// What the Refill amounts add up to, per stock: "500 ink and 50 sheets".
static std::string AmountsAdded(const CommandDecision &decision)
{
    int64_t ink = 0, paper = 0;
    for (const StockAmount &stock : decision.amounts)
        (stock.isInk ? ink : paper) += stock.amount;
    auto part = [](int64_t amount, const char *unit) {
        return (amount < 0 ? "-" : "") + Count(static_cast<uint64_t>(amount < 0 ? -amount : amount)) + " " + unit;
    };
    std::string text;
    if (ink != 0)
        text = part(ink, "ink");
    if (paper != 0)
        text += (text.empty() ? "" : " and ") + part(paper, paper == 1 ? "sheet" : "sheets");
    return text;
}

static std::string ExplainRefill(const CommandDecision &decision)
{
    std::string added = AmountsAdded(decision);
    std::string text = added.empty() ? "" : "adds " + added + " to the stock";
    if (decision.reason == REASON_AMOUNT_REFUSED) {
        bool isNegative = decision.word.find("=-") != std::string::npos || decision.word.find("= -") != std::string::npos;
        std::string why = isNegative ? "no amount may be negative" : "the amount or the stock passes 32 bits";
        std::string stop = decision.message.empty() ? "stops at " : "refused at ";
        text = (text.empty() ? "" : text + ", then ") + stop + decision.word + ": " + why;
    } else if (added.empty()) {
        text = decision.amounts.empty() ? "nothing happens: Refill takes Ink=N and Paper=N"
                                        : "nothing happens: the amounts are 0";
    }
    if (!decision.skipped.empty())
        text += "; skips " + decision.skipped.front();
    return text;
}

// How many waiting jobs a user has.
static int WaitingJobsOf(int32_t userID)
{
    int count = 0;
    for (ListNode *node = GetFirstNode(&g_JobWaitList); node != nullptr && !IsTailer(&g_JobWaitList, node);
         node = GetNextNode(node))
        count += static_cast<const PrintJob *>(node->pData)->userID == userID ? 1 : 0;
    return count;
}

static std::string ExplainCancel(const CommandDecision &decision)
{
    const std::string &name = decision.name.empty() ? std::string("the administrator") : decision.name;
    const PrintJob *current = g_PrinterContext.pCurrentJob;
    if (current != nullptr && current->userID == decision.userID) {
        if (decision.verdict == VERDICT_NOTHING)
            return "nothing happens: " + name + "'s job is being cancelled already";
        return "cancels " + name + "'s job being printed";
    }
    int waiting = WaitingJobsOf(decision.userID);
    return "removes " + name + "'s oldest waiting job" + (waiting > 1 ? ", of " + std::to_string(waiting) : "");
}

static std::string ExplainCancelAll(const CommandDecision &decision)
{
    if (decision.verdict == VERDICT_NOTHING)
        return "nothing happens: the cancel is under way and no job waits";
    int waiting = GetNodeCount(&g_JobWaitList);
    bool isPrinting = g_PrinterContext.pCurrentJob != nullptr;
    if (waiting == 0 && !isPrinting)
        return "no job to cancel; the status shows Request Cancel";
    std::string text = waiting > 0 ? "removes " + Counted(waiting, "waiting job", "waiting jobs") : "";
    if (isPrinting)
        text += (text.empty() ? "cancels" : " and cancels") + std::string(" the job being printed");
    return text;
}

// The needs of a measured file against the printer: what stops it now, and
// whether refilling could ever help.
static std::string ExplainShortage(const AdmissionForecast &admission)
{
    if (admission.ink > PRINTER_INK_CAPACITY)
        return "refused: needs " + Count(admission.ink) + " ink; the printer holds at most " +
               std::to_string(PRINTER_INK_CAPACITY);
    if (admission.sheets > PRINTER_PAPER_CAPACITY)
        return "refused: needs " + Count(admission.sheets) + " sheets; the printer holds at most " +
               std::to_string(PRINTER_PAPER_CAPACITY);
    return "refused: needs " + Count(admission.ink) + " ink, " + Counted(admission.sheets, "sheet", "sheets") +
           "; the printer has " + std::to_string(g_PrinterContext.ink) + " and " +
           std::to_string(g_PrinterContext.paper);
}

static std::string ExplainMissingFile(const PromptFiles *files, const std::string &fileName)
{
    if (fileName.empty())
        return "refused: Print needs a file name";
    if (fileName.back() == ' ')
        return "refused: no file '" + fileName + "': its blanks at the end are part of the name";
    std::string nearest = files != nullptr ? NearestFileName(files, fileName) : "";
    return "refused: no file " + fileName + (nearest.empty() ? "" : "; did you mean " + nearest + "?");
}

static std::string ExplainPrint(const LineForecast &forecast, const PromptFiles *files)
{
    const std::string &file = forecast.decision.fileName;
    const AdmissionForecast &admission = forecast.admission;
    std::string who = forecast.decision.name + ": " + file;
    if (files == nullptr)
        return who;
    switch (admission.kind) {
    case PRINT_FILE_MISSING: return ExplainMissingFile(files, file);
    case PRINT_FILE_DIRECTORY: return "refused: " + file + " is a directory";
    case PRINT_FILE_NOT_REGULAR: return "refused: " + file + " is not a regular file";
    case PRINT_FILE_UNREADABLE: return "refused: " + file + " cannot be read";
    case PRINT_FILE_REGULAR: break;
    }
    if (!admission.isMeasured)
        return forecast.message.empty() ? who + ", " + Size(admission.size) + ", measured when printed"
                                        : "refused: " + file + " cannot be read";
    if (!forecast.message.empty())
        return ExplainShortage(admission);
    return who + ", " + Counted(admission.sheets, "sheet", "sheets") + ", " + Count(admission.ink) + " ink";
}

static std::string ExplainCommandLine(const char *line, const PromptFiles *files)
{
    LineForecast forecast = ForeseeCommandLine(line, files);
    const CommandDecision &decision = forecast.decision;
    switch (decision.action) {
    case COMMAND_NOTHING: return ExplainNothing(decision);
    case COMMAND_REFUSED: return ExplainRefused(decision);
    case COMMAND_REFILL: return ExplainRefill(decision);
    case COMMAND_ADD_USER: return "registers " + decision.name + " as user " + std::to_string(g_nextUserIdx);
    case COMMAND_DEL_USER: return "removes the user " + decision.name;
    case COMMAND_SHOW_USER_LIST:
        return "shows the " + Counted(GetNodeCount(&g_UserInfoList), "user", "users") + " for two seconds";
    case COMMAND_PRINT: return ExplainPrint(forecast, files);
    case COMMAND_CANCEL: return ExplainCancel(decision);
    case COMMAND_CANCEL_ALL: return ExplainCancelAll(decision);
    }
    return "";
}

// The prompt's own words: the help view, or leaving.
static std::string ExplainPromptWord(const Prompt *prompt, const PromptWord &word)
{
    if (!word.isLeave)
        return "opens the help view";
    int unfinished = Printer_UnfinishedJobs();
    if (unfinished == 0)
        return "leaves the program";
    std::string jobs = Counted(unfinished, "job", "jobs");
    if (prompt->isLeaveAsked)
        return "leaves the program and its " + jobs + " unfinished";
    return jobs + " unfinished: asks again before leaving";
}

std::string Prompt_Hint(const Prompt *prompt)
{
    const char *line = prompt->isSearching ? Prompt_SearchMatch(prompt) : prompt->editor.bytes;
    if (line == nullptr || *line == '\0')
        return "";
    if (const PromptWord *word = FindPromptWord(line))
        return ExplainPromptWord(prompt, *word);
    return ExplainCommandLine(line, prompt->files);
}
