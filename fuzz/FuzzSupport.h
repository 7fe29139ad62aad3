// What the fuzz targets share: a scratch working directory made once per
// process and the cutting of a fuzz input into command lines. Open
// descriptors are counted by tests/support/Descriptors.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Makes a fresh directory under $TMPDIR (or /tmp), enters it and fills it with a few
// small print files and some things that are not regular files. Aborts
// when it cannot, since no input can be judged without it. Relative paths
// among libFuzzer's arguments are made absolute before it is entered, so
// that they still lead where the user meant.
void EnterFuzzScratchDirectory(const char *tag, int *argc, char ***argv);

// Removes every file inside the directory, leaving the directory.
void EmptyDirectory(const char *path);

// Aborts with a message: a broken invariant is a finding.
[[noreturn]] void FuzzFailure(const char *what);

// The input cut at line feeds into lines of at most maxLength bytes (the
// rest of a longer line starts the next one, as a bounded read does).
std::vector<std::string_view> SplitFuzzLines(const uint8_t *data, size_t size, size_t maxLength);
