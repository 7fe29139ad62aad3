#include "terminal/loop/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>

static bool ListNames(const std::string &directory, const std::function<bool(const char *name)> &take)
{
    DIR *stream = opendir(directory.empty() ? "." : directory.c_str());
    if (stream == nullptr)
        return false;
    for (const struct dirent *entry = readdir(stream); entry != nullptr && take(entry->d_name);
         entry = readdir(stream)) {
    }
    closedir(stream);
    return true;
}

static bool IsDirectory(const std::string &path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

static int64_t Stamp(const std::string &directory)
{
    struct stat status;
    if (stat(directory.empty() ? "." : directory.c_str(), &status) != 0)
        return -1;
    return int64_t{status.st_mtim.tv_sec} * 1000000000 + status.st_mtim.tv_nsec;
}

const PromptFiles FILE_SYSTEM_NAMES = {ListNames, IsDirectory, Stamp, ForecastAdmission};
