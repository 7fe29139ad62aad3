// The file system as the prompt sees it (terminal/prompt/PromptFiles.h):
// the entries of a directory, relative to the working directory, which of
// them are directories, and what admission will make of a print file.
#pragma once

#include "terminal/prompt/PromptFiles.h"

extern const PromptFiles FILE_SYSTEM_NAMES;
