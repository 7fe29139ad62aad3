// Keys read from a pipe as the loop reads them from the terminal.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "terminal/loop/KeyInput.h"
#include "terminal/prompt/Prompt.h"
#include "tests/support/HeadlessScreen.h"

namespace {

using KeyInputTest = HeadlessScreen;

// Each call takes at most one bite of what was typed; what an Enter leaves
// of a bite waits for the next call, which the wait time asks for at once.
TEST_F(KeyInputTest, TakenInBoundedBites)
{
    int keys[2];
    ASSERT_EQ(pipe(keys), 0);
    static KeyInput input;
    KeyInput_Init(&input, keys[0]);
    static Prompt prompt;
    Prompt_Init(&prompt, nullptr);
    std::string typed;
    for (int i = 0; i < 2000; i++)
        typed += "ab\x7f";  // each leaves an a
    typed += "\ncd\n";
    ASSERT_EQ(write(keys[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    EXPECT_EQ(KeyInput_TakeTypedKeys(&input, &prompt), PROMPT_READ_PENDING);
    EXPECT_EQ(prompt.editor.length, KEY_BITE_BYTES / 3 + 1);
    EXPECT_EQ(KeyInput_TakeTypedKeys(&input, &prompt), PROMPT_READ_ENTERED);
    EXPECT_EQ(prompt.editor.length, 2000u);
    EXPECT_EQ(KeyInput_WaitMs(&input), 0);
    Prompt_StartLine(&prompt);
    EXPECT_EQ(KeyInput_TakeTypedKeys(&input, &prompt), PROMPT_READ_ENTERED);
    EXPECT_STREQ(prompt.editor.bytes, "cd");
    Prompt_StartLine(&prompt);
    ASSERT_EQ(write(keys[1], "\x1b", 1), 1);
    EXPECT_EQ(KeyInput_TakeTypedKeys(&input, &prompt), PROMPT_READ_PENDING);
    int wait = KeyInput_WaitMs(&input);  // the Esc may still be the start of a sequence
    EXPECT_TRUE(wait >= 0 && wait <= ESCAPE_DELAY_MS) << wait;
    close(keys[0]);
    close(keys[1]);
}

}  // namespace
