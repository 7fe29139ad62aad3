// Opening a file that a command names, for reading.
#pragma once

#include <cstdio>

// Opens path for reading when it is a regular file, without ever blocking:
// a FIFO would block the open, and a directory or a device would make a
// reading loop fail or never end. NULL when refused or when it cannot.
FILE *OpenRegularFile(const char *path);
