// The one way records are allocated: zero-filled from the C heap, which the
// list container frees them to.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <new>

// Every record is small; running out of memory for one leaves no sensible
// way on, so stop rather than corrupt a list. Never NULL. The failure ends
// the program through std::terminate, where a terminal program restores
// the terminal and says why.
inline void *AllocateZeroed(size_t size, const char *what)
{
    void *record = calloc(1, size);
    if (record == nullptr) {
        fprintf(stderr, "out of memory for %s\n", what);
        throw std::bad_alloc();
    }
    return record;
}
