#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "engine/PrintLine.h"

namespace {

struct PrintLineCase {
    const char *name;
    std::string content;
    std::vector<std::string> printLines;  // every read up to the end of file
    uint64_t ink;
};

std::string Letters(size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; i++)
        text += static_cast<char>('a' + i % 26);
    return text;
}

const std::string CRLF = "\r\n";

const PrintLineCase PRINT_LINE_CASES[] = {
    {"empty file: one read, empty line", "", {""}, 0},
    {"line feed ends the line, then the end-of-file read", "abc\n", {"abc\n", ""}, 3},
    {"last line without line feed: no extra read", "abc", {"abc"}, 3},
    {"35 letters cut to 30 plus CR LF", Letters(35) + "\n", {Letters(30) + CRLF, ""}, 30},
    {"29 letters: the line feed is the 30th byte, then CR LF", Letters(29) + "\n", {Letters(29) + "\n" + CRLF, ""}, 29},
    {"28 letters stay unchanged", Letters(28) + "\n", {Letters(28) + "\n", ""}, 28},
    {"30 letters without line feed are cut too", Letters(30), {Letters(30) + CRLF}, 30},
    {"white space never counts", "\t a b\r\n", {"\t a b\r\n", ""}, 2},
    {"vertical tab and form feed are white space", "a\vb\fc\n", {"a\vb\fc\n", ""}, 3},
    {"bytes from 0x80 count one each", "\x80\xff\xc3\xa9\n", {"\x80\xff\xc3\xa9\n", ""}, 4},
    {"a zero byte ends the print line", std::string("ab\0cd\n", 6), {"ab", ""}, 2},
    {"2100 letters take two reads, each cut", Letters(2100) + "\n", {Letters(30) + CRLF, Letters(2100).substr(2047, 30) + CRLF, ""}, 60},
    {"2047 letters fill one read; the line feed is the next", Letters(2047) + "\n", {Letters(30) + CRLF, "\n", ""}, 30},
};

void PrintTo(const PrintLineCase &c, std::ostream *out)
{
    *out << c.name;
}

class PrintLineRule : public ::testing::TestWithParam<PrintLineCase> {};

FILE *OpenContent(const std::string &content)
{
    FILE *file = tmpfile();
    fwrite(content.data(), 1, content.size(), file);
    rewind(file);
    return file;
}

TEST_P(PrintLineRule, CountsInk)
{
    const PrintLineCase &c = GetParam();
    SCOPED_TRACE(c.name);
    FILE *file = OpenContent(c.content);
    std::vector<std::string> lines;
    uint64_t ink = 0;
    char line[LINE_BUFFER_SIZE];
    while (!IsPrintInputDone(file) && lines.size() < 10) {
        size_t length = ReadPrintLine(file, line);
        lines.emplace_back(line, length);
        ink += PrintLineInk(line, length);
    }
    EXPECT_EQ(lines, c.printLines);
    EXPECT_EQ(ink, c.ink);

    rewind(file);
    PrintMeasure measure = MeasurePrintFile(file);
    EXPECT_EQ(measure.reads, c.printLines.size());
    EXPECT_EQ(measure.ink, c.ink);
    EXPECT_TRUE(measure.isReadable);
    fclose(file);
}

INSTANTIATE_TEST_SUITE_P(Rows, PrintLineRule, ::testing::ValuesIn(PRINT_LINE_CASES),
                         [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(SheetsForReads, TenReadsPerSheet)
{
    EXPECT_EQ(SheetsForReads(1), 1u);
    EXPECT_EQ(SheetsForReads(9), 1u);
    EXPECT_EQ(SheetsForReads(10), 2u);
    EXPECT_EQ(SheetsForReads(26), 3u);
    // Counted in 64 bits: a count past 32 bits does not wrap to a small need.
    EXPECT_EQ(SheetsForReads(uint64_t{1} << 36), (uint64_t{1} << 36) / 10 + 1);
}

}  // namespace
