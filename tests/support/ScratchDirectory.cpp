#include "tests/support/ScratchDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

void ScratchDirectory::SetUp()
{
    originalDirectory = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "quillbay-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratchDirectory = pattern;
    ASSERT_EQ(chdir(scratchDirectory.c_str()), 0);
}

void ScratchDirectory::TearDown()
{
    EXPECT_EQ(chdir(originalDirectory.c_str()), 0);
    std::error_code error;
    std::filesystem::remove_all(scratchDirectory, error);
    EXPECT_FALSE(error) << "cannot remove " << scratchDirectory << ": " << error.message();
}

void ScratchDirectory::WriteFile(const std::string &name, const std::string &content)
{
    std::ofstream(name, std::ios::binary) << content;
}

std::string ScratchDirectory::ReadFile(const std::string &name)
{
    std::ifstream file(name, std::ios::binary);
    if (!file)
        return "<missing>";
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}
