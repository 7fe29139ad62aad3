// A test fixture that runs each test in a fresh scratch directory of its
// own, its working directory for the test's length and removed afterwards,
// with the file helpers the tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>

class ScratchDirectory : public ::testing::Test {
public:
    // Writes a file whole, replacing any file of that name.
    static void WriteFile(const std::string &name, const std::string &content);
    // The whole content of a file, or "<missing>".
    static std::string ReadFile(const std::string &name);

protected:
    void SetUp() override;
    void TearDown() override;

    std::string scratchDirectory;  // absolute path

private:
    std::string originalDirectory;
};
