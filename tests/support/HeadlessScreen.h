// A test fixture with the real windows on a headless screen and fresh
// records, in a scratch working directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/BuildSettings.h"
#include "terminal/displayWindows.h"
#include "tests/support/Records.h"

class HeadlessScreen : public ::testing::Test {
public:
    // One row of a window as text (the locale's bytes), trailing blanks kept.
    static std::string Row(WINDOW *window, int row);
    // The same from column `from`, `count` cells wide.
    static std::string Cells(WINDOW *window, int row, int from, int count);
    // Writes a file in the scratch directory.
    static void WriteFile(const std::string &name, const std::string &content);
    // The whole content of a file, or "<missing>".
    static std::string ReadFile(const std::string &name);

protected:
    void SetUp() override;
    void TearDown() override;

    std::string scratchDirectory;
    std::string originalDirectory;
};
