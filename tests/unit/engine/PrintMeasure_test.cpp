// The block scanner against the print-line rule it replaces for admission:
// on thousands of generated files both must give the same reads and ink.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

#include "engine/ByteScan.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"

namespace {

// Line lengths around every limit of a read: the 30 bytes kept, the 2047
// bytes of one read, and lines that take several reads.
const size_t EDGE_LENGTHS[] = {0, 1, 28, 29, 30, 31, 32, 2045, 2046, 2047, 2048, 2049, 4094, 4095, 5000};

// Bytes that matter to the rule: white space of every kind, the zero byte
// that ends a print line, carriage returns and bytes from 0x80 on.
const char SPECIAL_BYTES[] = {' ', '\t', '\r', '\v', '\f', '\0', '\x80', '\xa0', '\xc3', '\xff'};

class TextMaker {
public:
    explicit TextMaker(uint64_t seed) : random(seed) {}

    std::string File()
    {
        std::string text;
        int lines = Pick(0, 8);
        for (int i = 0; i < lines; i++) {
            text += Line(LineLength());
            text += '\n';
        }
        if (Pick(0, 1) == 1)
            text += Line(LineLength());  // a last line without a line feed
        return text;
    }

    size_t LineLength()
    {
        if (Pick(0, 1) == 0)
            return EDGE_LENGTHS[Pick(0, std::size(EDGE_LENGTHS) - 1)];
        return static_cast<size_t>(Pick(0, 100));
    }

    std::string Line(size_t length)
    {
        std::string line(length, 'x');
        int specialShare = Pick(0, 3);  // from plain letters to mostly special bytes
        for (char &c : line)
            c = Pick(0, 3) < specialShare ? SPECIAL_BYTES[Pick(0, std::size(SPECIAL_BYTES) - 1)]
                                          : static_cast<char>(Pick('!', '~'));
        return line;
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

private:
    std::mt19937_64 random;
};

class PrintMeasureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/quillbay-measure-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        path = directory + "/print.txt";
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    FILE *Open(const std::string &content)
    {
        // A new file each time: truncating one makes some file systems
        // flush it to disk on close, which is slow.
        unlink(path.c_str());
        FILE *file = fopen(path.c_str(), "w");
        fwrite(content.data(), 1, content.size(), file);
        fclose(file);
        return fopen(path.c_str(), "r");
    }

    // Measures the content both ways, after `skipped` print lines read the
    // plain way (so stdio holds buffered bytes), and checks that a rewind
    // afterwards reads the whole file again.
    void ExpectSameMeasure(const std::string &content, int skipped)
    {
        char line[LINE_BUFFER_SIZE];
        FILE *plainInput = Open(content);
        FILE *blockInput = fopen(path.c_str(), "r");
        for (int i = 0; i < skipped; i++) {
            ReadPrintLine(plainInput, line);
            ReadPrintLine(blockInput, line);
        }
        PrintMeasure plain = MeasurePrintFile(plainInput);
        PrintMeasure block = MeasurePrintFileInBlocks(blockInput);
        EXPECT_EQ(block.reads, plain.reads);
        EXPECT_EQ(block.ink, plain.ink);
        EXPECT_EQ(block.isReadable, plain.isReadable);
        EXPECT_EQ(ftello(blockInput), ftello(plainInput));

        rewind(blockInput);
        std::string reread(content.size() + 1, '\0');
        reread.resize(fread(reread.data(), 1, reread.size(), blockInput));
        EXPECT_TRUE(reread == content) << "rewind after measuring gives other bytes";
        fclose(plainInput);
        fclose(blockInput);
    }

    std::string directory;
    std::string path;
};

TEST_F(PrintMeasureTest, GivesTheCountsOfThePrintLineRuleOnGeneratedFiles)
{
    TextMaker maker(20240611);
    ExpectSameMeasure("", 0);
    for (int i = 0; i < 3000 && !HasFailure(); i++) {
        std::string content = maker.File();
        SCOPED_TRACE("file " + std::to_string(i) + " of " + std::to_string(content.size()) + " bytes");
        ExpectSameMeasure(content, maker.Pick(0, 4) == 0 ? maker.Pick(1, 3) : 0);
    }
}

// Files of several blocks: reads straddle the block boundaries at every
// kind of point, long lines included.
TEST_F(PrintMeasureTest, GivesTheSameCountsAcrossBlockBoundaries)
{
    TextMaker maker(7);
    const std::string pool = maker.Line(size_t{1} << 16);  // lines are cut from it, for speed
    for (int i = 0; i < 8; i++) {
        bool hasLongLines = i % 2 == 0;
        std::string content(static_cast<size_t>(maker.Pick(0, 3000)), 'a');
        while (content.size() < (size_t{9} << 18)) {
            size_t length = hasLongLines ? maker.LineLength() * static_cast<size_t>(maker.Pick(1, 2))
                                         : static_cast<size_t>(maker.Pick(0, 60));
            content.append(pool, static_cast<size_t>(maker.Pick(0, static_cast<int>(pool.size() - length))), length);
            content += '\n';
        }
        SCOPED_TRACE("file " + std::to_string(i));
        ExpectSameMeasure(content, 0);
    }
}

// The ink of a read by the rule itself: the zeroed line buffer, the read's
// bytes, the cut at 30, the print line up to its first zero byte.
uint64_t RuleInk(const std::string &read)
{
    char line[LINE_BUFFER_SIZE] = {};
    memcpy(line, read.data(), read.size());
    line[PRINT_LINE_WIDTH] = '\r';
    line[PRINT_LINE_WIDTH + 1] = '\n';
    line[PRINT_LINE_WIDTH + 2] = '\0';
    return PrintLineInk(line, strlen(line));
}

// Each build runs one of the word and vector versions through the scanner;
// both are checked here, on reads of every length up to past the cut.
TEST(ByteScan, EveryVersionCountsInkAndFindsLineFeedsByTheRule)
{
    TextMaker maker(31);
    for (int i = 0; i < 20000 && !::testing::Test::HasFailure(); i++) {
        std::string bytes = maker.Line(SCAN_CHUNK);
        size_t length = static_cast<size_t>(maker.Pick(0, 40));
        const auto *start = reinterpret_cast<const unsigned char *>(bytes.data());
        uint64_t expected = RuleInk(bytes.substr(0, length));
        EXPECT_EQ(ReadInk_Portable(start, length), expected) << i;
        EXPECT_EQ(ReadInk(start, length), expected) << i;

        for (char &c : bytes)
            c = maker.Pick(0, 7) == 0 ? '\n' : c;
        uint64_t lineFeeds = 0;
        for (size_t j = 0; j < SCAN_CHUNK; j++)
            lineFeeds |= static_cast<uint64_t>(bytes[j] == '\n') << j;
        uint64_t portable = 0, active = 0;
        FindLineFeeds_Portable(start, 1, &portable);
        FindLineFeeds(start, 1, &active);
        EXPECT_EQ(portable, lineFeeds) << i;
        EXPECT_EQ(active, lineFeeds) << i;
    }
}

TEST_F(PrintMeasureTest, MeasuresAPipeAsThePrintLineRuleDoes)
{
    const std::string content = "abcdefghijklmnopqrstuvwxyz0123456789\nsecond\n";
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fds[1]);
    FILE *input = fdopen(fds[0], "r");
    PrintMeasure measure = MeasurePrintFileInBlocks(input);
    fclose(input);
    EXPECT_EQ(measure.reads, 3u);
    EXPECT_EQ(measure.ink, 30u + 6u);
    EXPECT_TRUE(measure.isReadable);
}

TEST_F(PrintMeasureTest, StopsAtAReadError)
{
    FILE *input = fopen(directory.c_str(), "r");  // opens, but every read fails
    ASSERT_NE(input, nullptr);
    EXPECT_FALSE(MeasurePrintFileInBlocks(input).isReadable);
    fclose(input);
}

}  // namespace
