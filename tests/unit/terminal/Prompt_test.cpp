// Keys fed to the prompt, as the command loop feeds them, with the line and
// the cursor read back: movement, history, completion against fixed users
// and files, and the keys that open help or leave.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "administration/Administrator.h"
#include "terminal/Help.h"
#include "terminal/Prompt.h"
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
        {"F5", KEY_ACTION_IGNORE},
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
    // Help keeps the line; quit, exit and ^D on an empty line leave.
    {CURRENT, "ab{F1}x{Left}{Esc}", "ab", 2, PROMPT_CLOSE_HELP},
    {CURRENT, "ab{F1}q", "ab", 2, PROMPT_CLOSE_HELP},
    {CURRENT, " help \n", "", 0, PROMPT_OPEN_HELP},
    {CURRENT, "?\n\n", "", 0, PROMPT_CLOSE_HELP},
    {CURRENT, "quit\n", "quit", 4, PROMPT_LEAVE},
    {CURRENT, "Exit\n", "Exit", 4, PROMPT_LEAVE},
    {CURRENT, "exit \n", "", 0, PROMPT_ENTERED},  // a command, not the word alone
    {CURRENT, "{^D}", "", 0, PROMPT_LEAVE},
};

using PromptTest = HeadlessScreen;

TEST_F(PromptTest, KeysEditRecallAndCompleteTheLine)
{
    for (const char *name : {"ann", "anna", "bob"})
        AddUser(name);
    mkdir("docs", 0755);
    for (const char *file : {"report.txt", "readme.md", "my notes.txt", ".secret", "docs/plan.txt"})
        WriteFile(file, "text\n");
    static Prompt prompt;
    for (const PromptCase &row : PROMPT_CASES) {
        g_BuildSettings.grammar = row.grammar;
        Prompt_Init(&prompt);
        PromptOutcome outcome = PROMPT_UNCHANGED;
        for (CommandKey key : Keys(row.keys)) {
            outcome = Prompt_HandleKey(&prompt, key);
            if (outcome == PROMPT_ENTERED)
                Prompt_StartLine(&prompt);  // as the command loop does after the command
        }
        std::string keys = row.keys.substr(0, 60);
        EXPECT_STREQ(prompt.editor.bytes, row.line) << keys;
        int cells = 0;
        for (size_t i = 0; i < prompt.editor.cursor; i++)
            cells += prompt.editor.charCells[i];
        EXPECT_EQ(cells, row.cursorCells) << keys;
        EXPECT_EQ(outcome, row.lastOutcome) << keys;
    }
}

TEST_F(PromptTest, SecondTabListsTheChoicesByTheirOwnNames)
{
    mkdir("docs", 0755);
    WriteFile("docs/plan.txt", "");
    WriteFile("docs/pix.txt", "");
    static Prompt prompt;
    Prompt_Init(&prompt);
    AddUser("ann");
    for (CommandKey key : Keys("ann Print docs/p{Tab}{Tab}"))
        Prompt_HandleKey(&prompt, key);
    ASSERT_EQ(prompt.candidates.size(), 2u);
    EXPECT_EQ(prompt.candidates[0].label, "pix.txt");
    EXPECT_EQ(prompt.candidates[1].text, "docs/plan.txt");
}

// The help view holds 18 rows of 78 columns inside its frame, in every grammar.
TEST(HelpTest, FitsTheHelpViewInEveryGrammar)
{
    for (GrammarGeneration grammar : {GRAMMAR_CURRENT, GRAMMAR_EARLIER, GRAMMAR_EARLIEST}) {
        std::vector<std::string> lines = HelpViewLines(grammar);
        EXPECT_LE(lines.size(), 18u) << grammar;
        for (const std::string &line : lines)
            EXPECT_LE(line.size(), HELP_LINE_WIDTH) << line;
    }
}

}  // namespace
