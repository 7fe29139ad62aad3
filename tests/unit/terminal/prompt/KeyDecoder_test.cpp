// Bytes as terminals send them, in; the prompt's keys, out.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <map>
#include <string>
#include <vector>

#include "terminal/prompt/KeyDecoder.h"

namespace {

// The keys decoded so far as words: a character in quotes, other keys by
// name, "-" for a key that does nothing.
std::string Taken(KeyDecoder *decoder)
{
    static const std::map<KeyAction, const char *> NAMES = {
        {KEY_ACTION_ERASE, "Erase"}, {KEY_ACTION_DELETE, "Del"}, {KEY_ACTION_ERASE_WORD, "^W"},
        {KEY_ACTION_KILL, "Kill"}, {KEY_ACTION_KILL_TO_END, "^K"}, {KEY_ACTION_KILL_WORD_BEFORE, "M-BS"},
        {KEY_ACTION_KILL_WORD_AFTER, "M-d"}, {KEY_ACTION_YANK, "^Y"}, {KEY_ACTION_LEFT, "Left"},
        {KEY_ACTION_RIGHT, "Right"}, {KEY_ACTION_WORD_LEFT, "WordLeft"}, {KEY_ACTION_WORD_RIGHT, "WordRight"},
        {KEY_ACTION_HOME, "Home"}, {KEY_ACTION_END, "End"}, {KEY_ACTION_OLDER, "Up"}, {KEY_ACTION_NEWER, "Down"},
        {KEY_ACTION_SEARCH, "^R"}, {KEY_ACTION_CANCEL, "^G"}, {KEY_ACTION_COMPLETE, "Tab"},
        {KEY_ACTION_REDRAW, "^L"}, {KEY_ACTION_HELP, "F1"}, {KEY_ACTION_END_OF_INPUT, "^D"},
        {KEY_ACTION_ESCAPE, "Esc"}, {KEY_ACTION_ENTER, "Enter"}, {KEY_ACTION_REFUSED, "Bad"},
        {KEY_ACTION_IGNORE, "-"},
    };
    std::string words;
    for (const CommandKey &key : decoder->keys) {
        if (!words.empty())
            words += " ";
        if (key.action != KEY_ACTION_INSERT)
            words += NAMES.at(key.action);
        else if (key.character < 0x80)
            words += std::string("'") + static_cast<char>(key.character) + "'";
        else
            words += "U+" + std::to_string(static_cast<long>(key.character));
    }
    decoder->keys.clear();
    return words;
}

struct DecoderTest : ::testing::Test {
    KeyDecoder decoder;
    void SetUp() override
    {
        setlocale(LC_ALL, "C.UTF-8");
        KeyDecoder_Init(&decoder, 0x7f, 0x15);
    }
    void TearDown() override { setlocale(LC_ALL, "C.UTF-8"); }
    // Bytes that arrive together at time `ms`.
    void Feed(const std::string &bytes, int64_t ms = 0)
    {
        KeyDecoder_Feed(&decoder, bytes.data(), bytes.size(), ms);
    }
};

TEST_F(DecoderTest, TakesSequencesWhole)
{
    const struct {
        const char *bytes;
        const char *keys;
    } rows[] = {
        // Text and control characters.
        {"a", "'a'"},
        {"\xED\x95\x9C", "U+54620"},
        {"\x7f", "Erase"}, {"\b", "Erase"}, {"\x15", "Kill"}, {"\x17", "^W"}, {"\x0b", "^K"},
        {"\r", "Enter"}, {"\n", "Enter"}, {"\x01", "Home"}, {"\x04", "^D"}, {"\x14", "-"},
        {"\x12", "^R"}, {"\x19", "^Y"}, {"\x07", "^G"}, {"\t", "Tab"},
        // xterm, normal and application cursor keys.
        {"\x1b[A", "Up"}, {"\x1bOA", "Up"}, {"\x1b[D", "Left"}, {"\x1bOD", "Left"},
        {"\x1b[H", "Home"}, {"\x1bOH", "Home"}, {"\x1b[F", "End"}, {"\x1bOF", "End"},
        {"\x1bOP", "F1"}, {"\x1b[1;5P", "F1"}, {"\x1bOQ", "-"}, {"\x1b[15~", "-"}, {"\x1b[24~", "-"},
        {"\x1b[3~", "Del"}, {"\x1b[2~", "-"}, {"\x1b[5~", "-"}, {"\x1b[6~", "-"},
        {"\x1b[1;5C", "WordRight"}, {"\x1b[1;5D", "WordLeft"}, {"\x1b[1;3D", "WordLeft"},
        {"\x1b[1;2C", "Right"}, {"\x1b[5D", "WordLeft"}, {"\x1b[3;5~", "Del"},
        // VT220 and PuTTY; the Linux console's F1 to F5.
        {"\x1b[1~", "Home"}, {"\x1b[4~", "End"}, {"\x1b[11~", "F1"}, {"\x1b[[A", "F1"}, {"\x1b[[E", "-"},
        // rxvt.
        {"\x1b[7~", "Home"}, {"\x1b[8~", "End"}, {"\x1b[3^", "Del"}, {"\x1b[2$x", "- 'x'"},
        {"\x1bOd", "WordLeft"}, {"\x1bOc", "WordRight"}, {"\x1b\x1b[D", "WordLeft"},
        // The keypad in application mode.
        {"\x1bOM", "Enter"}, {"\x1bOp", "'0'"}, {"\x1bOy", "'9'"}, {"\x1bOk", "'+'"},
        // Alt and a key.
        {"\x1b" "b", "WordLeft"}, {"\x1b" "f", "WordRight"}, {"\x1b" "d", "M-d"}, {"\x1b\x7f", "M-BS"},
        {"\x1bx", "-"}, {"\x1b\xED\x95\x9Cy", "- 'y'"},
        // Unknown sequences go whole; a byte out of place ends one.
        {"bc\x1b[1~a\x1b[4~d", "'b' 'c' Home 'a' End 'd'"},
        {"\x1b[?1;2cz", "- 'z'"}, {"\x1b[99;99;99Xz", "- 'z'"}, {"\x1b[ qz", "- 'z'"},
        {"\x1b[1\x01x", "- Home 'x'"},
        // Pasted text between the markers is text, tabs too; a line end still enters.
        {"\x1b[200~a\tb\x1b[201~", "'a' '\t' 'b'"}, {"\x1b[200~a\nb\x1b[201~", "'a' Enter 'b'"},
        {"\x1b[200~\x01\x1b[201~", "-"},
        // A byte that does not decode costs only itself.
        {"b\xED\x95" "c", "'b' Bad Bad 'c'"}, {"\xff" "a", "Bad 'a'"}, {"\xc2\x85", "-"},
        // Pasted escapes are dropped whole; the tab stays text.
        {"\x1b[200~ab\x1b" "bX\x1b[DY\tZ\x1b[201~", "'a' 'b' 'X' 'Y' '\t' 'Z'"},
        // Control strings go whole, to BEL or ST; an ESC in one ends it.
        {"\x1b]0;title\x07z", "'z'"}, {"\x1bP1$r0m\x1b\\z", "'z'"}, {"\x1b_x\x1b[Az", "Up 'z'"},
        {"\x1b^pm\x07\x1bXsos\x1b\\z", "'z'"},
        // Unmarked, only a burst of text makes a tab text; a typed Tab completes
        // even with the next key behind it.
        {"\t\t", "Tab Tab"}, {"\tx", "Tab 'x'"}, {"x\t", "'x' Tab"}, {"\t\r", "Tab Enter"},
        {"ab\tc", "'a' 'b' Tab 'c'"}, {"ab\tcde\r", "'a' 'b' '\t' 'c' 'd' 'e' Enter"},
        {"abcde\t", "'a' 'b' 'c' 'd' 'e' Tab"},
    };
    for (const auto &row : rows) {
        KeyDecoder_Init(&decoder, 0x7f, 0x15);
        Feed(row.bytes);
        KeyDecoder_Flush(&decoder, ESCAPE_DELAY_MS);
        EXPECT_EQ(Taken(&decoder), row.keys) << row.bytes + 1;
        EXPECT_TRUE(decoder.held.empty() && !decoder.isPasting) << row.bytes + 1;
    }
}

// A slow link splits sequences and characters: each row's parts arrive
// `gap` ms apart, while the loop looks at the decoder every 10 ms. Within
// the escape delay a split is taken whole; past it an Esc is Escape. Inside
// a paste or a control string nothing is a key, so nothing there times
// out as one. After every row, Backspace edits again.
TEST_F(DecoderTest, SplitsTakenWholeInDelay)
{
    const struct {
        std::vector<std::string> parts;
        const char *within;  // the keys at gaps of 10 and 50 ms
        const char *late;    // at a gap of 200 ms
    } rows[] = {
        {{"\x1b", "[A"}, "Up", "Esc '[' 'A'"},
        {{"abc\x1b[1", "~"}, "'a' 'b' 'c' Home", "'a' 'b' 'c' - '~'"},
        {{"\x1b", "b"}, "WordLeft", "Esc 'b'"},
        {{"\xc3", "\xa9"}, "U+233", "Bad Bad"},
        {{"\x1b[200~hi\x1b", "[201~"}, "'h' 'i'", "'h' 'i'"},
        {{"\x1b[200~hi\x1b[20", "1~"}, "'h' 'i'", "'h' 'i'"},
        {{"\x1b[200~a\x1b", "[Db\x1b[201~"}, "'a' 'b'", "'a' 'b'"},
        {{"\x1b]0;ti", "tle\x07x"}, "'x'", "'x'"},
        {{"\x1bP1$r0m\x1b", "\\y"}, "'y'", "'y'"},
    };
    for (const auto &row : rows) {
        for (int64_t gap : {10, 50, 200}) {
            SCOPED_TRACE(row.parts[0].substr(1) + " at " + std::to_string(gap) + " ms");
            KeyDecoder_Init(&decoder, 0x7f, 0x15);
            int64_t ms = 1000;
            for (size_t i = 0; i < row.parts.size(); i++) {
                for (int64_t look = ms - gap + 10; i > 0 && look < ms; look += 10)
                    KeyDecoder_Flush(&decoder, look);
                Feed(row.parts[i], ms);
                KeyDecoder_Flush(&decoder, ms);
                ms += gap;
            }
            KeyDecoder_Flush(&decoder, ms + ESCAPE_DELAY_MS);
            EXPECT_EQ(Taken(&decoder), gap <= 50 ? row.within : row.late);
            Feed("\x7f", ms + ESCAPE_DELAY_MS);
            EXPECT_EQ(Taken(&decoder), "Erase");
        }
    }
    KeyDecoder_Init(&decoder, 0x7f, 0x15);
    EXPECT_EQ(KeyDecoder_WaitMs(&decoder, 0), -1);
    Feed("\x1b", 100);
    EXPECT_EQ(KeyDecoder_WaitMs(&decoder, 110), ESCAPE_DELAY_MS - 10);
    KeyDecoder_Flush(&decoder, 100 + ESCAPE_DELAY_MS);
    EXPECT_EQ(KeyDecoder_WaitMs(&decoder, 200), 0);  // the Escape waits to be taken
}

// No state outlives its bound: a paste or a control string whose end never
// comes ends at its length bound or after a second without a byte.
TEST_F(DecoderTest, EveryStateEnds)
{
    const struct {
        const char *name;
        std::string first;
        int64_t laterMs;
        std::string later;
        const char *lastKey;
    } rows[] = {
        {"a paste past its bound", "\x1b[200~" + std::string(MAX_PASTE_BYTES, 'a'), 10, "x\t", "Tab"},
        {"a silent paste", "\x1b[200~a", INPUT_SILENCE_MS, "\t", "Tab"},
        {"a string past its bound", "\x1b]" + std::string(MAX_CONTROL_STRING_BYTES, 'a'), 10, "\x7f", "Erase"},
        {"a silent string", "\x1b]0;a", INPUT_SILENCE_MS, "\x7f", "Erase"},
        {"a cut sequence", "\x1b[" + std::string(40, '1'), 10, "1;2~x", "'x'"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        KeyDecoder_Init(&decoder, 0x7f, 0x15);
        Feed("\x1b[200~\x1b[201~");  // the terminal marks pastes
        Feed(row.first, 0);
        decoder.keys.clear();
        Feed(row.later, row.laterMs);
        std::string keys = Taken(&decoder);
        EXPECT_TRUE(keys.ends_with(row.lastKey)) << keys.substr(keys.size() - std::min<size_t>(keys.size(), 40));
    }
}

TEST_F(DecoderTest, EraseKillAndPasteKeys)
{
    KeyDecoder_Init(&decoder, 0x08, 0x18);
    Feed("\x08\x18\x1b\x08");
    EXPECT_EQ(Taken(&decoder), "Erase Kill M-BS");
    Feed("\x1b[200~\x1b[201~");
    Feed("\tx");
    EXPECT_EQ(Taken(&decoder), "Tab 'x'");  // the terminal marks pastes: this tab was typed
}

TEST_F(DecoderTest, CLocaleRefusesWideBytes)
{
    ASSERT_NE(setlocale(LC_ALL, "C"), nullptr);
    Feed("b\xED\x95\x9C" "c");
    EXPECT_EQ(Taken(&decoder), "'b' Bad Bad Bad 'c'");
}

}  // namespace
