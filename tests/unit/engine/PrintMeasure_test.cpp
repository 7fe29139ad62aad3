// The block scanner against the print-line rule it replaces for admission:
// on thousands of generated files every scanning path, on one thread and
// on two split at hostile offsets, must give the same reads and ink.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "engine/ByteScan.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"
#include "tests/support/ScratchDirectory.h"

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
            text += Pick(0, 3) == 0 ? "\r\n" : "\n";
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

// Offsets at which a split of the file into two halves is most likely to
// go wrong: the ends, the middle, the line feed of a CR LF pair, a line
// feed, a zero byte and the bytes beside them, and the 2047th byte of a
// line too long for one read.
std::vector<int64_t> HostileSplits(const std::string &content)
{
    std::vector<int64_t> splits = {0, static_cast<int64_t>(content.size() / 2)};
    auto addAround = [&](size_t at) {
        if (at != std::string::npos && at > 0)
            splits.insert(splits.end(), {static_cast<int64_t>(at) - 1, static_cast<int64_t>(at), static_cast<int64_t>(at) + 1});
    };
    addAround(content.rfind("\r\n") + 1);
    addAround(content.find('\n', content.size() / 3));
    addAround(content.rfind('\0'));
    for (size_t lineStart = 0, lineFeed; lineStart < content.size(); lineStart = lineFeed + 1) {
        lineFeed = std::min(content.find('\n', lineStart), content.size());
        if (lineFeed - lineStart >= LINE_BUFFER_SIZE) {
            addAround(lineStart + LINE_BUFFER_SIZE - 1);
            break;
        }
    }
    std::sort(splits.begin(), splits.end());
    splits.erase(std::unique(splits.begin(), splits.end()), splits.end());
    return splits;
}

// The scanning paths this processor has; the best one is chosen again
// afterwards.
struct ScanPaths {
    ScanPaths()
    {
        for (int path = 0; path < SCAN_PATH_COUNT; path++) {
            if (IsScanPathAvailable(static_cast<ScanPath>(path)))
                all.push_back(static_cast<ScanPath>(path));
        }
    }
    ~ScanPaths() { ForceScanPath(BestScanPath()); }
    std::vector<ScanPath> all;
};

class MeasureTest : public ScratchDirectory {
protected:
    FILE *Open(const std::string &content)
    {
        // A new file each time: truncating one makes some file systems
        // flush it to disk on close, which is slow.
        unlink(PATH);
        WriteFile(PATH, content);
        return fopen(PATH, "r");
    }

    // Measures the content both ways, after `skipped` print lines read the
    // plain way (so stdio holds buffered bytes): with every path on one
    // thread, and on two split at each of `splits`, each split with one
    // path in turn, from the path `turn` on. Over the files every path meets
    // every kind of split, while a file pays for each split once: a second
    // thread takes more than a millisecond to start under an emulator.
    // Checks that a rewind afterwards reads the whole file again.
    void ExpectSameMeasure(const std::string &content, int skipped, const std::vector<int64_t> &splits,
                           size_t turn)
    {
        FILE *plainInput = Open(content);
        Skip(plainInput, skipped);
        PrintMeasure plain = MeasurePrintFile(plainInput);
        off_t plainEnd = ftello(plainInput);
        fclose(plainInput);
        ScanPaths scanPaths;
        auto expectSame = [&](ScanPath path, const MeasurePlan &plan) {
            SCOPED_TRACE("path " + std::to_string(path) + ", threads " + std::to_string(plan.threads) +
                         ", split at " + std::to_string(plan.splitAt));
            ForceScanPath(path);
            ExpectSameMeasureWith(content, skipped, plan, plain, plainEnd);
        };
        for (ScanPath path : scanPaths.all)
            expectSame(path, {1, -1});
        for (size_t i = 0; i < splits.size(); i++)
            expectSame(scanPaths.all[(turn + i) % scanPaths.all.size()], {2, splits[i]});
    }

    void ExpectSameMeasureWith(const std::string &content, int skipped, const MeasurePlan &plan,
                               const PrintMeasure &plain, off_t plainEnd)
    {
        FILE *blockInput = fopen(PATH, "r");
        Skip(blockInput, skipped);
        PrintMeasure block = MeasurePrintFileWith(blockInput, plan);
        EXPECT_EQ(block.reads, plain.reads);
        EXPECT_EQ(block.ink, plain.ink);
        EXPECT_EQ(block.isReadable, plain.isReadable);
        EXPECT_EQ(ftello(blockInput), plainEnd);

        rewind(blockInput);
        std::string reread(content.size() + 1, '\0');
        reread.resize(fread(reread.data(), 1, reread.size(), blockInput));
        EXPECT_TRUE(reread == content) << "rewind after measuring gives other bytes";
        fclose(blockInput);
    }

    static void Skip(FILE *input, int printLines)
    {
        char line[LINE_BUFFER_SIZE];
        for (int i = 0; i < printLines; i++)
            ReadPrintLine(input, line);
    }

    static constexpr const char *PATH = "print.txt";
};

TEST_F(MeasureTest, MatchesRuleOnRandomFiles)
{
    TextMaker maker(20240611);
    ExpectSameMeasure("", 0, {0}, 0);
    for (int i = 0; i < 3000 && !HasFailure(); i++) {
        std::string content = maker.File();
        SCOPED_TRACE("file " + std::to_string(i) + " of " + std::to_string(content.size()) + " bytes");
        std::vector<int64_t> splits = HostileSplits(content);
        std::shuffle(splits.begin(), splits.end(), std::mt19937_64(i));
        splits.resize(std::min<size_t>(splits.size(), 3));  // a few per file keep the test quick
        ExpectSameMeasure(content, maker.Pick(0, 4) == 0 ? maker.Pick(1, 3) : 0, splits, static_cast<size_t>(i));
    }
}

// Files of several blocks: reads straddle the block boundaries at every
// kind of point, long lines included.
TEST_F(MeasureTest, SameAcrossBlockEdges)
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
        ExpectSameMeasure(content, 0, HostileSplits(content), static_cast<size_t>(i));
    }
}

// A sparse file past 4 GiB, measured from a little before 4 GiB: on a
// 32-bit system every offset, size and position here needs a 64-bit off_t.
// Its 1000 lines of 40 letters each give 30 units of ink; one of them
// straddles 4 GiB, and 899 begin past it.
TEST_F(MeasureTest, MeasuresPastFourGiB)
{
    const int64_t fourGiB = int64_t{1} << 32;
    const int64_t start = fourGiB - 41 * 100 - 20;
    std::string lines;
    for (int i = 0; i < 1000; i++)
        lines += std::string(40, 'x') + "\n";
    int fd = open(PATH, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << strerror(errno);
    ASSERT_EQ(pwrite(fd, lines.data(), lines.size(), start), static_cast<ssize_t>(lines.size())) << strerror(errno);
    close(fd);
    const int64_t fileEnd = start + static_cast<int64_t>(lines.size());

    FILE *plainInput = fopen(PATH, "r");
    ASSERT_NE(plainInput, nullptr) << strerror(errno);
    ASSERT_EQ(fseeko(plainInput, start, SEEK_SET), 0);
    PrintMeasure plain = MeasurePrintFile(plainInput);
    fclose(plainInput);
    EXPECT_EQ(plain.reads, 1001u);  // the read that meets the end of the file counts too
    EXPECT_EQ(plain.ink, 30000u);
    EXPECT_EQ(SheetsForReads(plain.reads), 101u);

    ScanPaths scanPaths;
    for (ScanPath path : scanPaths.all) {
        ForceScanPath(path);
        for (MeasurePlan plan : {MeasurePlan{1, -1}, MeasurePlan{2, -1}, MeasurePlan{2, fourGiB + 7}}) {
            SCOPED_TRACE("path " + std::to_string(path) + ", threads " + std::to_string(plan.threads) +
                         ", split at " + std::to_string(plan.splitAt));
            FILE *input = fopen(PATH, "r");
            ASSERT_EQ(fseeko(input, start, SEEK_SET), 0);
            PrintMeasure block = MeasurePrintFileWith(input, plan);
            EXPECT_EQ(block.reads, plain.reads);
            EXPECT_EQ(block.ink, plain.ink);
            EXPECT_TRUE(block.isReadable);
            EXPECT_EQ(ftello(input), fileEnd);
            fclose(input);
        }
    }
}

TEST_F(MeasureTest, MeasuresAPipe)
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

TEST_F(MeasureTest, StopsAtAReadError)
{
    FILE *input = fopen(scratchDirectory.c_str(), "r");  // opens, but every read fails
    ASSERT_NE(input, nullptr);
    EXPECT_FALSE(MeasurePrintFileInBlocks(input).isReadable);
    fclose(input);
}

}  // namespace
