// OpenRegularFile in standard C++ only, for platforms without POSIX, whose
// file systems have no FIFOs to block an open.
#include "common/RegularFile.h"

#include <filesystem>
#include <system_error>

FILE *OpenRegularFile(const char *path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return nullptr;
    return fopen(path, "r");
}
