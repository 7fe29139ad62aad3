#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "terminal/LineEditor.h"
#include "terminal/display.h"
#include "terminal/displayWindows.h"
#include "tests/support/HeadlessScreen.h"
#include "tests/support/HeadlessTerminal.h"

namespace {

struct LineEditorTest : ::testing::Test {
    LineEditor editor;
    void SetUp() override
    {
        setlocale(LC_ALL, "C.UTF-8");
        LineEditor_Clear(&editor);
    }
    void Type(const std::wstring &text)
    {
        for (wchar_t c : text)
            ASSERT_EQ(LineEditor_Insert(&editor, c), EDIT_CHANGED);
    }
};

TEST_F(LineEditorTest, KeepsUtf8AsItsBytesAndErasesWholeCharacters)
{
    Type(L"a\uD55C\uAE00");  // "a" and two Hangul syllables, three bytes each
    EXPECT_STREQ(editor.bytes, "a\xED\x95\x9C\xEA\xB8\x80");
    EXPECT_EQ(editor.length, 7u);
    int cells = 0;
    EXPECT_EQ(LineEditor_VisibleFrom(&editor, 80, &cells), 0u);
    EXPECT_EQ(cells, 5);
    EXPECT_EQ(LineEditor_Erase(&editor), EDIT_CHANGED);
    EXPECT_STREQ(editor.bytes, "a\xED\x95\x9C");
    EXPECT_EQ(LineEditor_Kill(&editor), EDIT_CHANGED);
    EXPECT_STREQ(editor.bytes, "");
    EXPECT_EQ(LineEditor_Erase(&editor), EDIT_UNCHANGED);
    EXPECT_EQ(LineEditor_Kill(&editor), EDIT_UNCHANGED);
}

TEST_F(LineEditorTest, WordEraseTakesTheLastWordAndTheBlanksAfterIt)
{
    const struct {
        const wchar_t *typed;
        const char *left;
    } rows[] = {
        {L"admin Add User ann", "admin Add User "},
        {L"admin Add User   ", "admin Add "},
        {L"ann\t\uD55C\uAE00", "ann\t"},
        {L"word", ""},
        {L"  ", ""},
    };
    for (const auto &row : rows) {
        LineEditor_Clear(&editor);
        Type(row.typed);
        EXPECT_EQ(LineEditor_EraseWord(&editor), EDIT_CHANGED);
        EXPECT_STREQ(editor.bytes, row.left) << "after typing " << row.typed;
        EXPECT_EQ(editor.length, strlen(row.left));
    }
    EXPECT_EQ(LineEditor_EraseWord(&editor), EDIT_UNCHANGED);
}

TEST_F(LineEditorTest, BoundedAt2047Bytes)
{
    for (int i = 0; i < 2045; i++)
        ASSERT_EQ(LineEditor_Insert(&editor, L'x'), EDIT_CHANGED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'\uD55C'), EDIT_REFUSED);  // 3 bytes do not fit in 2
    EXPECT_EQ(LineEditor_Insert(&editor, L'y'), EDIT_CHANGED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'z'), EDIT_CHANGED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'!'), EDIT_REFUSED);
    EXPECT_EQ(editor.length, 2047u);
    EXPECT_EQ(std::string(editor.bytes).size(), 2047u);
    EXPECT_EQ(LineEditor_Erase(&editor), EDIT_CHANGED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'!'), EDIT_CHANGED);
}

TEST_F(LineEditorTest, TabIsKeptAndOtherUnprintablesRefused)
{
    EXPECT_EQ(LineEditor_Insert(&editor, L'\t'), EDIT_CHANGED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'\x01'), EDIT_REFUSED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'\x7f'), EDIT_REFUSED);
    EXPECT_STREQ(editor.bytes, "\t");
}

TEST_F(LineEditorTest, VisibleTailOfALongLine)
{
    for (int i = 0; i < 100; i++)
        Type(L"a");
    Type(L"\uD55C");
    int cells = 0;
    size_t first = LineEditor_VisibleFrom(&editor, 74, &cells);
    EXPECT_EQ(first, 28u);  // 72 letters and the wide syllable
    EXPECT_EQ(cells, 74);
    EXPECT_EQ(LineEditor_ByteOffset(&editor, first), 28u);
}

// The echo row of the command window on a headless screen.
using CommandLineEchoTest = HeadlessScreen;

TEST_F(CommandLineEchoTest, EchoFollowsThePromptAndScrollsToTheEnd)
{
    LineEditor editor;
    LineEditor_Clear(&editor);
    DrawPrompt();
    for (wchar_t c : std::wstring(L"hello \uD55C"))
        LineEditor_Insert(&editor, c);
    DrawCommandLine(&editor);
    EXPECT_EQ(getcurx(g_pCommandWindow), 4 + 8);  // read first: reading cells moves the cursor
    EXPECT_EQ(Cells(g_pCommandWindow, 2, 0, 14), "# >>hello \xED\x95\x9C  ");

    LineEditor_Clear(&editor);
    for (int i = 0; i < 200; i++)
        LineEditor_Insert(&editor, static_cast<wchar_t>(L'a' + i % 26));
    DrawCommandLine(&editor);
    EXPECT_EQ(getcurx(g_pCommandWindow), 78);
    std::string text(editor.bytes + 200 - 74, 74);
    EXPECT_EQ(Cells(g_pCommandWindow, 2, 4, 76), text + " #");
}

// Keys typed at the prompt, fed through a pipe as a terminal would send them.
struct KeyTest : ::testing::Test {
    int keys[2] = {-1, -1};
    void SetUp() override
    {
        ASSERT_EQ(pipe(keys), 0);
        ASSERT_TRUE(OpenHeadlessScreen(fdopen(keys[0], "r")));
    }
    void TearDown() override
    {
        CloseHeadlessScreen();  // closes the reading end
        close(keys[1]);
    }
    void Send(const std::string &bytes) { ASSERT_EQ(write(keys[1], bytes.data(), bytes.size()), ssize_t(bytes.size())); }
};

TEST_F(KeyTest, ClassifiesEditingKeysAndIgnoresTheRest)
{
    const struct {
        const char *bytes;
        KeyAction action;
        wchar_t character;
    } rows[] = {
        {"a", KEY_ACTION_INSERT, L'a'},
        {"\xED\x95\x9C", KEY_ACTION_INSERT, L'\uD55C'},
        {"\t", KEY_ACTION_COMPLETE, 0},
        {"\x7f", KEY_ACTION_ERASE, 0},
        {"\b", KEY_ACTION_ERASE, 0},
        {"\x15", KEY_ACTION_KILL, 0},
        {"\x17", KEY_ACTION_ERASE_WORD, 0},
        {"\r", KEY_ACTION_ENTER, 0},
        {"\n", KEY_ACTION_ENTER, 0},
        {"\x01", KEY_ACTION_HOME, 0},
        {"\x14", KEY_ACTION_IGNORE, 0},
        {"\x1bOA", KEY_ACTION_OLDER, 0},     // cursor up arrives as one key
        {"\x1b[15~", KEY_ACTION_IGNORE, 0},  // F5
        {"\x1bOD", KEY_ACTION_LEFT, 0},
        {"\x1bOH", KEY_ACTION_HOME, 0},
        {"\x1b[3~", KEY_ACTION_DELETE, 0},
        {"\x1bOP", KEY_ACTION_HELP, 0},      // F1
        {"\x0b", KEY_ACTION_KILL_TO_END, 0},
        {"\x04", KEY_ACTION_END_OF_INPUT, 0},
        {"\x1b", KEY_ACTION_ESCAPE, 0},
        {"\x1bx", KEY_ACTION_IGNORE, 0},     // Alt and x, whole
    };
    for (const auto &row : rows) {
        Send(row.bytes);
        CommandKey key = ReadCommandKey();
        EXPECT_EQ(key.action, row.action) << row.bytes;
        EXPECT_EQ(key.character, row.character) << row.bytes;
        EXPECT_EQ(ReadCommandKey().action, KEY_ACTION_NONE) << "left over after " << row.bytes;
    }
    // A tab pasted with the text after it is text, not completion.
    Send("\tx");
    CommandKey tab = ReadCommandKey();
    EXPECT_EQ(tab.action, KEY_ACTION_INSERT);
    EXPECT_EQ(tab.character, L'\t');
    EXPECT_EQ(ReadCommandKey().character, L'x');
}

}  // namespace
