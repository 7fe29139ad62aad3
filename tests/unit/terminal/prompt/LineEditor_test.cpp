#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

#include "terminal/prompt/LineEditor.h"
#include "terminal/screen/Screen.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/StatusWindow.h"
#include "tests/support/HeadlessScreen.h"

namespace {

struct EditorTest : ::testing::Test {
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

TEST_F(EditorTest, ErasesWholeUtf8Chars)
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

TEST_F(EditorTest, WordEraseTakesLastWord)
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

TEST_F(EditorTest, BoundedAt2047Bytes)
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

// Text put in at once (a yank, a completion, a recalled line) goes in
// whole or not at all; a combining mark at its start joins the character
// before it.
TEST_F(EditorTest, TextGoesInWhole)
{
    const struct {
        std::wstring typed;
        size_t cursor, first;  // the text replaces the characters from `first` to the cursor
        const char *text;
        EditResult result;
        const char *line;      // NULL: not compared
        size_t charCount, cursorAfter;
    } rows[] = {
        {L"ab", 1, 1, "XY", EDIT_CHANGED, "aXYb", 4, 3},
        {L"e", 1, 1, "\xCC\x81x", EDIT_CHANGED, "e\xCC\x81x", 2, 2},
        {L"ann Print no", 12, 10, "notes.txt", EDIT_CHANGED, "ann Print notes.txt", 19, 19},
        {L"ab", 2, 0, "\xED\x95\x9C", EDIT_CHANGED, "\xED\x95\x9C", 1, 1},
        {L"ab", 1, 1, "\xff", EDIT_REFUSED, "ab", 2, 1},
        {std::wstring(2045, L'x'), 2045, 2045, "abc", EDIT_REFUSED, nullptr, 2045, 2045},
        {std::wstring(2045, L'x'), 2045, 2044, "abc", EDIT_CHANGED, nullptr, 2047, 2047},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        LineEditor_Clear(&editor);
        Type(row.typed);
        editor.cursor = row.cursor;
        EXPECT_EQ(LineEditor_ReplaceBeforeCursor(&editor, row.first, row.text), row.result);
        if (row.line != nullptr) {
            EXPECT_STREQ(editor.bytes, row.line);
        }
        EXPECT_EQ(editor.length, strlen(editor.bytes));
        EXPECT_EQ(editor.charCount, row.charCount);
        EXPECT_EQ(editor.cursor, row.cursorAfter);
    }
}

TEST_F(EditorTest, KeepsTabRefusesControls)
{
    EXPECT_EQ(LineEditor_Insert(&editor, L'\t'), EDIT_CHANGED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'\x01'), EDIT_REFUSED);
    EXPECT_EQ(LineEditor_Insert(&editor, L'\x7f'), EDIT_REFUSED);
    EXPECT_STREQ(editor.bytes, "\t");
}

TEST_F(EditorTest, ShowsTailOfALongLine)
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
using EchoTest = HeadlessScreen;

TEST_F(EchoTest, FollowsPromptAndScrolls)
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
    std::string text(editor.bytes + 200 - 73, 73);
    EXPECT_EQ(Cells(g_pCommandWindow, 2, 4, 76), "<" + text + " #");  // its start is hidden

    LineEditor_Clear(&editor);
    for (wchar_t c : std::wstring(L"a\tb"))
        LineEditor_Insert(&editor, c);
    DrawCommandLine(&editor, " Print x");
    EXPECT_EQ(getcurx(g_pCommandWindow), 9);
    EXPECT_EQ(Cells(g_pCommandWindow, 2, 4, 14), "a   b Print x ");  // the tab to column 8
    EXPECT_TRUE(mvwinch(g_pCommandWindow, 2, 9) & A_DIM);
    EXPECT_FALSE(mvwinch(g_pCommandWindow, 2, 8) & A_DIM);
}

}  // namespace
