#include "fuzz/FuzzSupport.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::literals;

// The print files every command input may name.
static const struct {
    const char *name;
    std::string_view content;
} SCRATCH_FILES[] = {
    {"a.txt", "first line\nsecond line\n\tthird line\n"sv},
    {"empty.txt", ""sv},
    {"w30.txt", "abcdefghijklmnopqrstuvwxyz0123\n"sv},
    {"lines25.txt",
     "01\n02\n03\n04\n05\n06\n07\n08\n09\n10\n11\n12\n13\n14\n15\n16\n17\n18\n19\n20\n21\n22\n23\n24\n25\n"sv},
    {"nul.bin", "ab\0cd\r\n\x80\xff"sv},
};

void FuzzFailure(const char *what)
{
    fprintf(stderr, "fuzz invariant broken: %s\n", what);
    abort();
}

// libFuzzer reads the inputs it replays, its corpus and its dictionary, and
// writes its findings, only after this process has entered the scratch
// directory; relative paths among the arguments would then miss. They are
// made absolute first.
static void AnchorPathArguments(int argc, char **argv)
{
    static const std::string_view PATH_FLAGS[] = {"-artifact_prefix="sv, "-exact_artifact_path="sv, "-dict="sv};
    static std::vector<std::string> s_anchored;  // argv points into these from now on
    char directory[PATH_MAX];
    if (getcwd(directory, sizeof directory) == nullptr)
        FuzzFailure("cannot read the working directory");
    s_anchored.reserve(argc);  // no reallocation: argv keeps the strings' addresses
    for (int i = 1; i < argc; i++) {
        std::string_view argument = argv[i];
        size_t pathAt = 0;
        if (argument.starts_with('-')) {
            auto flag = std::find_if(std::begin(PATH_FLAGS), std::end(PATH_FLAGS),
                                     [&](std::string_view name) { return argument.starts_with(name); });
            if (flag == std::end(PATH_FLAGS))
                continue;
            pathAt = flag->size();
        }
        if (pathAt == argument.size() || argument[pathAt] == '/')
            continue;
        s_anchored.push_back(std::string(argument.substr(0, pathAt)) + directory + "/" +
                             std::string(argument.substr(pathAt)));
        argv[i] = s_anchored.back().data();
    }
}

void EnterFuzzScratchDirectory(const char *tag, int *argc, char ***argv)
{
    AnchorPathArguments(*argc, *argv);
    const char *temporary = getenv("TMPDIR");
    std::string pattern = std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") +
                          "/quillbay-fuzz-" + tag + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0)
        FuzzFailure("cannot make the scratch directory");
    // Gone when the fuzzer ends normally; after a finding it stays to be looked at.
    static std::string s_scratch = pattern;
    atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(s_scratch, ignored);
    });
    for (const auto &file : SCRATCH_FILES)
        std::ofstream(file.name, std::ios::binary) << file.content;
    if (mkdir("dir", 0755) != 0 || mkfifo("fifo", 0644) != 0 || symlink("/dev/zero", "zero") != 0)
        FuzzFailure("cannot make the scratch directory's special files");
}

void EmptyDirectory(const char *path)
{
    DIR *directory = opendir(path);
    if (directory == nullptr)
        return;
    std::string prefix = std::string(path) + "/";
    while (struct dirent *entry = readdir(directory)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            unlink((prefix + name).c_str());
    }
    closedir(directory);
}

std::vector<std::string_view> SplitFuzzLines(const uint8_t *data, size_t size, size_t maxLength)
{
    std::vector<std::string_view> lines;
    std::string_view rest(reinterpret_cast<const char *>(data), size);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        size_t length = end == std::string_view::npos ? rest.size() : end;
        if (length > maxLength)
            length = maxLength;
        lines.push_back(rest.substr(0, length));
        bool isCutAtLineFeed = length < rest.size() && rest[length] == '\n';
        rest.remove_prefix(length + (isCutAtLineFeed ? 1 : 0));
    }
    return lines;
}
