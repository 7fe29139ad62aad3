#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "terminal/TerminalOutput.h"

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
    size_t limit;
    bool isStalled;                 // the terminal takes nothing until resumed
    std::vector<std::string> adds;  // what curses wrote, in order
    bool isRepaintOwed;             // after the adds
    std::string shown;              // what the terminal holds once resumed (and repainted with "new")
};

TEST(OutputBuffer, StallHoldsThenRepaints)
{
    const OutputCase cases[] = {
        {"taken at once", 64, false, {"abc", "def"}, false, "abcdef"},
        {"held while stalled, then sent in order", 64, true, {"abc", "def"}, false, "abcdef"},
        {"up to the bound, all kept", 6, true, {"abc", "def"}, false, "abcdef"},
        {"past the bound: all dropped, later output too, then a repaint", 6, true, {"abc", "defg", "hi"}, true,
         "\x18new"},
        {"past the bound at once", 4, false, {"abcde", "f"}, true, "\x18new"},
    };
    for (const OutputCase &c : cases) {
        SCOPED_TRACE(c.name);
        PipeTerminal terminal;
        OutputBuffer buffer = {{}, 0, c.limit, false};
        if (c.isStalled)
            terminal.Stall();
        for (const std::string &add : c.adds) {
            OutputBuffer_Add(&buffer, add.data(), add.size());
            EXPECT_TRUE(OutputBuffer_WriteTo(&buffer, terminal.WriteFd()));
        }
        EXPECT_EQ(buffer.isRepaintOwed, c.isRepaintOwed);
        EXPECT_EQ(OutputBuffer_IsPending(&buffer), c.isStalled && !c.isRepaintOwed);
        std::string shown = terminal.Take();
        if (c.isRepaintOwed) {
            OutputBuffer_BeginRepaint(&buffer);
            OutputBuffer_Add(&buffer, "new", 3);
        }
        EXPECT_TRUE(OutputBuffer_WriteTo(&buffer, terminal.WriteFd()));
        shown += terminal.Take();
        EXPECT_EQ(shown, c.shown);
        EXPECT_FALSE(OutputBuffer_IsPending(&buffer));
        EXPECT_FALSE(buffer.isRepaintOwed);
    }
}

TEST(OutputBuffer, ReportsAFailingTerminal)
{
    int full = open("/dev/full", O_WRONLY | O_NONBLOCK);
    ASSERT_GE(full, 0);
    OutputBuffer buffer = {{}, 0, 64, false};
    OutputBuffer_Add(&buffer, "abc", 3);
    EXPECT_FALSE(OutputBuffer_WriteTo(&buffer, full));
    close(full);
}

}  // namespace
