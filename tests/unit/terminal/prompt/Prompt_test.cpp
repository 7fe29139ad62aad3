// Keys fed to the prompt, as the command loop feeds them, with the line and
// the cursor read back: movement, history, completion against fixed users
// and files, and the keys that open help or leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "administration/Administrator.h"
#include "engine/Printer.h"
#include "terminal/loop/FileNames.h"
#include "terminal/prompt/Help.h"
#include "terminal/prompt/Prompt.h"
#include "terminal/programs/Programs.h"
#include "tests/support/HeadlessScreen.h"

namespace {

// Keys in a line of text: characters as typed, "\n" for Enter, and named
// keys in braces, "{Left}".
std::vector<CommandKey> Keys(const std::string &text)
{
    static const std::map<std::string, KeyAction> NAMED = {
        {"Left", KEY_ACTION_LEFT},   {"Right", KEY_ACTION_RIGHT},  {"Home", KEY_ACTION_HOME},
        {"End", KEY_ACTION_END},     {"Del", KEY_ACTION_DELETE},   {"BS", KEY_ACTION_ERASE},
        {"^W", KEY_ACTION_ERASE_WORD}, {"^U", KEY_ACTION_KILL},    {"^K", KEY_ACTION_KILL_TO_END},
        {"Up", KEY_ACTION_OLDER},    {"Down", KEY_ACTION_NEWER},   {"Tab", KEY_ACTION_COMPLETE},
        {"F1", KEY_ACTION_HELP},     {"Esc", KEY_ACTION_ESCAPE},   {"^D", KEY_ACTION_END_OF_INPUT},
        {"F5", KEY_ACTION_IGNORE},   {"M-b", KEY_ACTION_WORD_LEFT}, {"M-f", KEY_ACTION_WORD_RIGHT},
        {"M-d", KEY_ACTION_KILL_WORD_AFTER}, {"M-BS", KEY_ACTION_KILL_WORD_BEFORE}, {"^Y", KEY_ACTION_YANK},
        {"^R", KEY_ACTION_SEARCH},   {"^G", KEY_ACTION_CANCEL},    {"Bad", KEY_ACTION_REFUSED},
    };
    std::vector<CommandKey> keys;
    mbstate_t state = {};
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '{') {
            size_t end = text.find('}', i);
            keys.push_back({NAMED.at(text.substr(i + 1, end - i - 1)), 0});
            i = end + 1;
        } else if (text[i] == '\n') {
            keys.push_back({KEY_ACTION_ENTER, 0});
            i++;
        } else {
            wchar_t character;
            i += mbrtowc(&character, text.data() + i, text.size() - i, &state);
            keys.push_back({KEY_ACTION_INSERT, character});
        }
    }
    return keys;
}

struct PromptCase {
    GrammarGeneration grammar;
    std::string keys;
    const char *line;         // the line afterwards
    int cursorCells;          // display cells before the cursor
    PromptOutcome lastOutcome;
};

const GrammarGeneration CURRENT = GRAMMAR_CURRENT;
const GrammarGeneration EARLIER = GRAMMAR_EARLIER;

// 101 lines entered, then as many steps up as the history allows, and one more.
std::string HundredAndOneLines()
{
    std::string keys;
    for (int i = 0; i <= 100; i++)
        keys += "l" + std::to_string(i) + "\n";
    for (int i = 0; i < 101; i++)
        keys += "{Up}";
    return keys;
}

const PromptCase PROMPT_CASES[] = {
    // Movement and editing in the middle of the line.
    {CURRENT, "abc{Left}{Left}X", "aXbc", 2, PROMPT_CHANGED},
    {CURRENT, "abc{Home}X{End}Y", "XabcY", 5, PROMPT_CHANGED},
    {CURRENT, "abc{Home}{Left}", "abc", 0, PROMPT_UNCHANGED},
    {CURRENT, "abc{Home}{Right}{Del}", "ac", 1, PROMPT_CHANGED},
    {CURRENT, "abc{Home}{^D}", "bc", 0, PROMPT_CHANGED},
    {CURRENT, "abc{Left}{BS}", "ac", 1, PROMPT_CHANGED},
    {CURRENT, "one two three{Left}{Left}{^W}", "one two ee", 8, PROMPT_CHANGED},
    {CURRENT, "abcdef{Left}{Left}{Left}{^K}", "abc", 3, PROMPT_CHANGED},
    {CURRENT, "abc{Left}{^U}", "", 0, PROMPT_CHANGED},
    {CURRENT, "\xED\x95\x9C\xEA\xB8\x80" "a{Left}{Left}", "\xED\x95\x9C\xEA\xB8\x80" "a", 2, PROMPT_CHANGED},
    {CURRENT, "e\xCC\x81x{Left}{Left}Z", "Ze\xCC\x81x", 1, PROMPT_CHANGED},  // e and a combining accent
    {CURRENT, "ab{F5}c", "abc", 3, PROMPT_CHANGED},
    {CURRENT, "ab{Bad}", "ab", 2, PROMPT_REFUSED},
    // Words of letters and digits: moves, kills and the yank of the last kill.
    {CURRENT, "admin Add User{M-b}{M-b}X", "admin XAdd User", 7, PROMPT_CHANGED},
    {CURRENT, "one-two three{Home}{M-f}X", "oneX-two three", 4, PROMPT_CHANGED},
    {CURRENT, "one-two three{Home}{M-f}{M-f}{M-f}{M-f}", "one-two three", 13, PROMPT_UNCHANGED},
    {CURRENT, "a.b c9{M-BS}", "a.b ", 4, PROMPT_CHANGED},
    {CURRENT, "a.b  {M-BS}", "a.", 2, PROMPT_CHANGED},
    {CURRENT, "foo  bar{Home}{M-d}", "  bar", 0, PROMPT_CHANGED},
    {CURRENT, "foo bar{M-BS}{Home}{^Y}", "barfoo ", 3, PROMPT_CHANGED},
    {CURRENT, "abcdef{Left}{Left}{^K}{Home}{^Y}", "efabcd", 2, PROMPT_CHANGED},
    {CURRENT, "abc{^U}{^Y}{^Y}", "abcabc", 6, PROMPT_CHANGED},
    {CURRENT, "one two{^W}x{^Y}", "one xtwo", 8, PROMPT_CHANGED},
    {CURRENT, "ab\n{^U}{^Y}", "", 0, PROMPT_UNCHANGED},
    {CURRENT, "\xED\x95\x9C\xEA\xB8\x80 x{M-b}{M-b}{M-d}", " x", 0, PROMPT_CHANGED},
    // Reverse search: the newest line holding the query; Enter runs it.
    {CURRENT, "one\ntwo\n{^R}o{Right}", "two", 3, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\n{^R}o{^R}{Home}", "one", 0, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\n{^R}o{^R}{^R}", "", 0, PROMPT_CHANGED},  // failing: one stays found
    {CURRENT, "one\ntwo\n{^R}x", "", 0, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\n{^R}ox{BS}{Home}", "two", 0, PROMPT_CHANGED},  // the failing key was kept
    {CURRENT, "one\ntwo\n{^R}on{BS}{End}", "two", 3, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\n{^R}on{Tab}", "one", 3, PROMPT_CHANGED},  // taken, though Tab finds nothing
    {CURRENT, "one\ntwo\ndraft{^R}o{Esc}", "draft", 5, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\ndraft{^R}o{^G}", "draft", 5, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\n{^R}on\n", "", 0, PROMPT_ENTERED},
    {CURRENT, "one\ntwo\n{^R}on\n{Up}", "one", 3, PROMPT_CHANGED},
    // The history's suggestion: Right and End take it, Alt-F its next word,
    // Enter only what is typed.
    {CURRENT, "ann Print a.txt\nann{Right}", "ann Print a.txt", 15, PROMPT_CHANGED},
    {CURRENT, "ann Print a.txt\nann{End}", "ann Print a.txt", 15, PROMPT_CHANGED},
    {CURRENT, "ann Print a.txt\nann{M-f}", "ann Print", 9, PROMPT_CHANGED},
    {CURRENT, "ann Print a.txt\nann{M-f}{M-f}", "ann Print a", 11, PROMPT_CHANGED},
    {CURRENT, "ann Print a.txt\nan{Left}{Right}", "an", 2, PROMPT_CHANGED},
    {CURRENT, "ann Print a.txt\nann\n{Up}", "ann", 3, PROMPT_CHANGED},
    // History: newest first, no empty lines or repeats, the draft kept.
    {CURRENT, "one\ntwo\n{Up}", "two", 3, PROMPT_CHANGED},
    {CURRENT, "one\ntwo\n{Up}{Up}{Up}", "one", 3, PROMPT_REFUSED},
    {CURRENT, "one\none\n\ntwo\n{Up}{Up}{Up}", "one", 3, PROMPT_REFUSED},
    {CURRENT, "one\ntwo\ndraft{Up}{Up}{Down}{Down}", "draft", 5, PROMPT_CHANGED},
    {CURRENT, "one\n{Down}", "", 0, PROMPT_REFUSED},
    {CURRENT, "one\n{Up}X{Down}{Up}", "one", 3, PROMPT_CHANGED},
    {CURRENT, "one\n{Up}X\n{Up}{Up}", "one", 3, PROMPT_CHANGED},
    {CURRENT, HundredAndOneLines(), "l1", 2, PROMPT_REFUSED},
    // Completion: users ann, anna and bob; see the files in the test.
    {CURRENT, "ad{Tab}", "admin ", 6, PROMPT_CHANGED},
    {CURRENT, "x{Home}ad{Tab}", "admin x", 6, PROMPT_CHANGED},
    {CURRENT, "admin Sh{Tab}", "admin Show User List", 20, PROMPT_CHANGED},
    {CURRENT, "admin add{Tab}", "admin Add User ", 15, PROMPT_CHANGED},
    {CURRENT, "admin Del User a{Tab}", "admin Del User ann", 18, PROMPT_CHANGED},
    {CURRENT, "b{Tab}", "bob ", 4, PROMPT_CHANGED},
    {CURRENT, "an{Tab}", "ann", 3, PROMPT_CHANGED},
    {CURRENT, "an{Tab}{Tab}", "ann", 3, PROMPT_LIST_CANDIDATES},
    {CURRENT, "Ref{Tab}", "Ref", 3, PROMPT_REFUSED},
    {EARLIER, "Ref{Tab}", "Refill ", 7, PROMPT_CHANGED},
    {CURRENT, "printer c{Tab}", "printer Cancel All", 18, PROMPT_CHANGED},
    {CURRENT, "bob Pr{Tab}", "bob Print ", 10, PROMPT_CHANGED},
    {CURRENT, "bob Print rep{Tab}", "bob Print report.txt", 20, PROMPT_CHANGED},
    {CURRENT, "bob Print re{Tab}", "bob Print re", 12, PROMPT_REFUSED},
    {CURRENT, "bob Print my{Tab}", "bob Print my notes.txt", 22, PROMPT_CHANGED},
    {CURRENT, "bob Print d{Tab}", "bob Print docs/", 15, PROMPT_CHANGED},
    {CURRENT, "bob Print docs/{Tab}", "bob Print docs/plan.txt", 23, PROMPT_CHANGED},
    {CURRENT, "bob Print .s{Tab}", "bob Print .secret", 17, PROMPT_CHANGED},
    {CURRENT, "zed Pr{Tab}", "zed Pr", 6, PROMPT_REFUSED},
    {CURRENT, "ta{Tab}", "ta", 2, PROMPT_REFUSED},  // a user and a file with a tab in the name
    {CURRENT, "bob Print ta{Tab}", "bob Print ta", 12, PROMPT_REFUSED},
    {CURRENT, "q{Tab}", "quit", 4, PROMPT_CHANGED},
    {CURRENT, "EX{Tab}", "exit", 4, PROMPT_CHANGED},
    {EARLIER, "he{Tab}", "help", 4, PROMPT_CHANGED},
    {CURRENT, "admin Refill i{Tab}", "admin Refill Ink=", 17, PROMPT_CHANGED},
    {CURRENT, "admin Refill Ink=5 P{Tab}", "admin Refill Ink=5 Paper=", 25, PROMPT_CHANGED},
    {CURRENT, "admin Refill {Tab}", "admin Refill ", 13, PROMPT_REFUSED},
    {EARLIER, "Refill Paper=1 {Tab}{Tab}", "Refill Paper=1 ", 15, PROMPT_LIST_CANDIDATES},
    // Help keeps the line; quit, exit and ^D on an empty line leave.
    {CURRENT, "ab{F1}x{Left}{Esc}", "ab", 2, PROMPT_CLOSE_HELP},
    {CURRENT, "ab{F1}q", "ab", 2, PROMPT_CLOSE_HELP},
    {CURRENT, "help\n", "", 0, PROMPT_OPEN_HELP},
    {CURRENT, " help\n", "", 0, PROMPT_ENTERED},  // only the word alone is the prompt's
    {CURRENT, "help \n", "", 0, PROMPT_ENTERED},
    {CURRENT, "?\n\n", "", 0, PROMPT_CLOSE_HELP},
    {CURRENT, "quit\n", "quit", 4, PROMPT_LEAVE},
    {CURRENT, "Exit\n", "Exit", 4, PROMPT_LEAVE},
    {CURRENT, "exit \n", "", 0, PROMPT_ENTERED},  // a command, not the word alone
    {CURRENT, "{^D}", "", 0, PROMPT_LEAVE},
};

using PromptTest = HeadlessScreen;

// Feeds the keys; the outcome of the last.
PromptOutcome Feed(Prompt *prompt, const std::string &keys)
{
    PromptOutcome outcome = PROMPT_UNCHANGED;
    for (CommandKey key : Keys(keys)) {
        outcome = Prompt_HandleKey(prompt, key);
        if (outcome == PROMPT_ENTERED)
            Prompt_StartLine(prompt);  // as the command loop does after the command
    }
    return outcome;
}

TEST_F(PromptTest, KeysEditRecallComplete)
{
    for (const char *name : {"ann", "anna", "bob", "tab\tname"})
        AddUser(name);
    mkdir("docs", 0755);
    for (const char *file : {"report.txt", "readme.md", "my notes.txt", ".secret", "docs/plan.txt", "tab\tname"})
        WriteFile(file, "text\n");
    static Prompt prompt;
    for (const PromptCase &row : PROMPT_CASES) {
        g_BuildSettings.grammar = row.grammar;
        Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
        PromptOutcome outcome = Feed(&prompt, row.keys);
        std::string keys = row.keys.substr(0, 60);
        EXPECT_STREQ(prompt.editor.bytes, row.line) << keys;
        int cells = 0;
        for (size_t i = 0; i < prompt.editor.cursor; i++)
            cells += prompt.editor.charCells[i];
        EXPECT_EQ(cells, row.cursorCells) << keys;
        EXPECT_EQ(outcome, row.lastOutcome) << keys;
    }
}

TEST_F(PromptTest, SecondTabListsChoices)
{
    mkdir("docs", 0755);
    WriteFile("docs/plan.txt", "");
    WriteFile("docs/pix.txt", "");
    static Prompt prompt;
    Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
    AddUser("ann");
    for (CommandKey key : Keys("ann Print docs/p{Tab}{Tab}"))
        Prompt_HandleKey(&prompt, key);
    ASSERT_EQ(prompt.candidates.size(), 2u);
    EXPECT_EQ(prompt.candidates[0].label, "pix.txt");
    EXPECT_EQ(prompt.candidates[1].text, "docs/plan.txt");
}

// quit, exit or ^D on an empty line, with jobs unfinished, leave only when
// the very next line asks again.
TEST_F(PromptTest, QuitWithJobsAsksTwice)
{
    const struct {
        int jobs;
        const char *keys;
        PromptOutcome lastOutcome;
    } rows[] = {
        {0, "quit\n", PROMPT_LEAVE},
        {2, "quit\n", PROMPT_CONFIRM_LEAVE},
        {2, "quit\nexit\n", PROMPT_LEAVE},
        {1, "quit\n{^D}", PROMPT_LEAVE},
        {1, "{^D}quit\n", PROMPT_LEAVE},
        {1, "quit\nx\nquit\n", PROMPT_CONFIRM_LEAVE},
        {1, "exit\n\nexit\n", PROMPT_CONFIRM_LEAVE},
        {1, "quit\n?\n\nquit\n", PROMPT_CONFIRM_LEAVE},
    };
    static Prompt prompt;
    for (const auto &row : rows) {
        for (int i = 0; i < row.jobs; i++)
            AddNode(&g_JobWaitList)->pData = calloc(1, sizeof(PrintJob));
        Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
        EXPECT_EQ(Feed(&prompt, row.keys), row.lastOutcome) << row.keys;
        EXPECT_EQ(prompt.unfinishedJobs, row.jobs) << row.keys;
        if (row.lastOutcome == PROMPT_CONFIRM_LEAVE) {
            EXPECT_STREQ(prompt.editor.bytes, "") << row.keys;
        }
        while (GetNodeCount(&g_JobWaitList) > 0)
            DeleteNode(&g_JobWaitList, GetFirstNode(&g_JobWaitList));
    }
}

// A directory past the caps: the line is extended only from every match,
// the first matches in sort order are kept, and a cut listing says so.
TEST_F(PromptTest, CompletionHonestAtCaps)
{
    mkdir("d1", 0755);
    for (int i = 0; i < 3000; i++)
        WriteFile("d1/xa" + std::to_string(10000 + i), "");
    WriteFile("d1/xbee", "");
    mkdir("d2", 0755);
    for (size_t i = 0; i <= MAX_DIRECTORY_ENTRIES; i++)
        WriteFile("d2/y" + std::to_string(100000 + i), "");
    const struct {
        const char *line;
        size_t matches;
        bool isCut;
        const char *firstCandidate;
        const char *common;
    } rows[] = {
        {"ann Print d1/x", 3001, false, "d1/xa10000", "d1/x"},
        {"ann Print d1/xa", 3000, false, "d1/xa10000", "d1/xa1"},
        {"ann Print d1/xb", 1, false, "d1/xbee", "d1/xbee"},
        {"ann Print d2/y1", 0, true, nullptr, "d2/y1"},
    };
    AddUser("ann");
    for (const auto &row : rows) {
        Completion completion = FindCompletions(row.line, strlen(row.line), &FILE_SYSTEM_NAMES);
        EXPECT_EQ(completion.isCut, row.isCut) << row.line;
        EXPECT_EQ(completion.common.substr(0, strlen(row.common)), row.common) << row.line;
        if (row.isCut)
            continue;
        EXPECT_EQ(completion.matchCount, row.matches) << row.line;
        EXPECT_EQ(completion.common, row.common) << row.line;
        EXPECT_EQ(completion.candidates.size(), std::min<size_t>(row.matches, MAX_COMPLETION_CANDIDATES));
        EXPECT_EQ(completion.candidates.front().text, row.firstCandidate) << row.line;
        EXPECT_TRUE(std::is_sorted(completion.candidates.begin(), completion.candidates.end(),
                                   [](const auto &a, const auto &b) { return a.text < b.text; }));
    }
    static Prompt prompt;
    Prompt_Init(&prompt, &FILE_SYSTEM_NAMES);
    EXPECT_EQ(Feed(&prompt, "ann Print d2/y{Tab}"), PROMPT_REFUSED);  // some matches may be unseen
    EXPECT_STREQ(prompt.editor.bytes, "ann Print d2/y");
    EXPECT_EQ(Feed(&prompt, "{Tab}"), PROMPT_LIST_CANDIDATES);
    EXPECT_TRUE(prompt.isCandidateListCut);
}

// The help view holds 18 rows of 78 columns inside its frame, in every
// program: quillbay's has the hint row's line, the others more commands.
TEST(HelpTest, FitsViewInEveryProgram)
{
    for (const BuildSettings *program :
         {&QUILLBAY_SETTINGS, &QUILLBAY_THREAD_SETTINGS, &QUILLBAY_GREET_SETTINGS, &QUILLBAY_ECHO_SETTINGS}) {
        g_BuildSettings = *program;
        std::vector<std::string> lines = HelpViewLines(program->grammar);
        EXPECT_LE(lines.size(), 18u) << program->programName;
        for (const std::string &line : lines)
            EXPECT_LE(line.size(), HELP_LINE_WIDTH) << line;
    }
    g_BuildSettings = BuildSettings{};
}

}  // namespace
