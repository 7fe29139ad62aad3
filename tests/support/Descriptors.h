// Counting the process's open descriptors, for tests and fuzz targets that
// check that a job's streams are not leaked.
#pragma once

// The number of descriptors of files (not pipes or sockets) open in this
// process; -1 when they cannot be looked at.
int CountOpenDescriptors();
// Lists every open descriptor and what it leads to on standard error, for
// the report of a leak.
void ListOpenDescriptors();
