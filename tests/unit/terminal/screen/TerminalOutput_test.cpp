#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "terminal/screen/TerminalOutput.h"

namespace {

// A pipe stands in for the terminal: its write end never blocks, and a
// full pipe is a terminal that takes no output.
class PipeTerminal {
public:
    PipeTerminal()
    {
        EXPECT_EQ(pipe2(fds, O_NONBLOCK), 0);
    }
    ~PipeTerminal()
    {
        close(fds[0]);
        close(fds[1]);
    }
    int WriteFd() const { return fds[1]; }
    // Fills the pipe with 'P' until it takes no more.
    void Stall()
    {
        std::string fill(4096, 'P');
        while (write(fds[1], fill.data(), fill.size()) > 0) {
        }
        while (write(fds[1], "P", 1) > 0) {
        }
    }
    // Everything written so far, the stall's filling left out.
    std::string Take()
    {
        std::string taken;
        char bytes[4096];
        ssize_t count;
        while ((count = read(fds[0], bytes, sizeof bytes)) > 0)
            taken.append(bytes, static_cast<size_t>(count));
        taken.erase(0, taken.find_first_not_of('P'));
        return taken;
    }

private:
    int fds[2] = {-1, -1};
};

struct OutputCase {
    const char *name;
    size_t floor;                   // the bound, as the terminal took nothing lately
    bool isStalled;                 // the terminal takes nothing until resumed
    std::vector<std::string> adds;  // what curses wrote, in order
    bool isRepaintOwed;             // after the adds
    std::string shown;              // what the terminal holds once resumed (and repainted with "new")
};

TEST(OutputBuffer, StallHoldsThenRepaints)
{
    const OutputCase cases[] = {
        {"taken at once", 4, false, {"abc", "def", "ghi"}, false, "abcdefghi"},
        {"held while stalled, then sent in order", 64, true, {"abc", "def"}, false, "abcdef"},
        {"up to the bound, all kept", 6, true, {"abc", "def"}, false, "abcdef"},
        {"past the bound: all dropped, later output too, then a repaint", 6, true, {"abc", "defg", "hi"}, true,
         "\x18new"},
        {"past the bound alone: kept whole, as a repaint must be", 4, true, {"abcdef"}, false, "abcdef"},
        {"past the bound behind it: dropped", 4, true, {"abcde", "f"}, true, "\x18new"},
    };
    for (const OutputCase &c : cases) {
        SCOPED_TRACE(c.name);
        PipeTerminal terminal;
        OutputBuffer buffer;
        OutputBuffer_Init(&buffer, c.floor, TERMINAL_OUTPUT_CEILING);
        if (c.isStalled)
            terminal.Stall();
        for (const std::string &add : c.adds) {
            OutputBuffer_Add(&buffer, add.data(), add.size(), 0);
            EXPECT_TRUE(OutputBuffer_WriteTo(&buffer, terminal.WriteFd(), 0));
        }
        EXPECT_EQ(buffer.isRepaintOwed, c.isRepaintOwed);
        EXPECT_EQ(OutputBuffer_IsPending(&buffer), c.isStalled && !c.isRepaintOwed);
        std::string shown = terminal.Take();
        if (c.isRepaintOwed) {
            OutputBuffer_BeginRepaint(&buffer);
            OutputBuffer_Add(&buffer, "new", 3, 0);
        }
        EXPECT_TRUE(OutputBuffer_WriteTo(&buffer, terminal.WriteFd(), 0));
        shown += terminal.Take();
        EXPECT_EQ(shown, c.shown);
        EXPECT_FALSE(OutputBuffer_IsPending(&buffer));
        EXPECT_FALSE(buffer.isRepaintOwed);
    }
}

// The queue may hold what the terminal took in the last two seconds: a
// fast terminal a lot, a slow one little, one that took nothing lately a
// screen, and none more than the ceiling.
TEST(OutputBuffer, BoundFollowsThePace)
{
    const struct {
        const char *name;
        std::vector<std::pair<int64_t, size_t>> taken;  // (ms, bytes) written
        int64_t atMs;
        size_t limit;
    } rows[] = {
        {"nothing taken: the floor", {}, 0, 100},
        {"taken just now", {{0, 300}}, 0, 300},
        {"taken over two seconds", {{0, 300}, {1000, 400}, {1900, 50}}, 1999, 750},
        {"what is older falls out", {{0, 300}, {1000, 400}, {1900, 50}}, 2000, 450},
        {"long ago: the floor again", {{0, 300}}, 60000, 100},
        {"never more than the ceiling", {{0, 800}, {500, 800}}, 600, 1000},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        PipeTerminal terminal;
        OutputBuffer buffer;
        OutputBuffer_Init(&buffer, 100, 1000);
        for (auto [ms, bytes] : row.taken) {
            std::string text(bytes, 'x');
            OutputBuffer_Add(&buffer, text.data(), text.size(), ms);
            EXPECT_TRUE(OutputBuffer_WriteTo(&buffer, terminal.WriteFd(), ms));
            terminal.Take();
        }
        EXPECT_EQ(OutputBuffer_Limit(&buffer, row.atMs), row.limit);
    }
}

TEST(OutputBuffer, ReportsAFailingTerminal)
{
    int full = open("/dev/full", O_WRONLY | O_NONBLOCK);
    ASSERT_GE(full, 0);
    OutputBuffer buffer;
    OutputBuffer_Init(&buffer, 64, TERMINAL_OUTPUT_CEILING);
    OutputBuffer_Add(&buffer, "abc", 3, 0);
    EXPECT_FALSE(OutputBuffer_WriteTo(&buffer, full, 0));
    close(full);
}

}  // namespace
