// The files as the prompt sees them: the names completion offers, and what
// a print file is, for the hint. The prompt reads nothing itself; the loop
// passes the file system's (terminal/loop/FileNames.h), a test or a fuzz
// target a few files of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/AdmissionForecast.h"

struct PromptFiles {
    // Calls `take` with the name of every entry of `directory` ("" for the
    // working directory, otherwise ending in '/'), in the order it keeps
    // them, until `take` returns false. False when it cannot be read.
    bool (*listNames)(const std::string &directory, const std::function<bool(const char *name)> &take);
    // True when `path` names a directory.
    bool (*isDirectory)(const std::string &path);
    // A number that changes whenever `directory`'s entries do; -1 when it
    // cannot be looked at. A listing stays good while it stays the same.
    int64_t (*stamp)(const std::string &directory);
    // What admission will make of a print file (engine/AdmissionForecast.h).
    AdmissionForecast (*forecast)(const char *fileName);
};
