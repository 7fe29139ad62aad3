// A test fixture with the real windows on a headless screen and fresh
// records, in a scratch working directory of its own.
#pragma once

#include <string>

#include "common/BuildSettings.h"
#include "terminal/screen/CommandWindow.h"
#include "terminal/screen/StatusWindow.h"
#include "tests/support/Records.h"
#include "tests/support/ScratchDirectory.h"

class HeadlessScreen : public ScratchDirectory {
public:
    // One row of a window as text (the locale's bytes), trailing blanks kept.
    static std::string Row(WINDOW *window, int row);
    // The same from column `from`, `count` cells wide.
    static std::string Cells(WINDOW *window, int row, int from, int count);

protected:
    void SetUp() override;
    void TearDown() override;
};
