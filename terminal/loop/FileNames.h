// The file system as completion sees it: the entries of a directory,
// relative to the working directory, and which of them are directories.
#pragma once

#include "terminal/prompt/Completion.h"

extern const FileLister FILE_SYSTEM_NAMES;
