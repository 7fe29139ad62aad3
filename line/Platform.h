// The two platform operations of the line-mode program, CreateThread and
// Sleep, in the shape the program calls them, on the C++ standard library's
// thread and sleep, so that the program builds wherever C++ does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <thread>

namespace linemode {

// A thread's body: takes the parameter given to CreateThread. What it
// returns is read by nobody.
typedef uint32_t (*ThreadStartRoutine)(void *parameter);

// Names a started thread. A default-constructed value (no thread) stands
// for the null handle of a failed start.
typedef std::thread::id ThreadHandle;

// Starts a thread that runs start(parameter) at once, beside the caller,
// and stores a process-unique identifier (never 0) in *threadId. The thread
// is detached: it runs until it returns or the process ends, and nothing
// needs to be kept or closed. securityAttributes must be null and
// creationFlags 0; stackSize is a hint, 0 the default, and is not used.
// On failure returns ThreadHandle() and leaves *threadId as it was.
ThreadHandle CreateThread(const void *securityAttributes, size_t stackSize, ThreadStartRoutine start,
                          void *parameter, uint32_t creationFlags, uint32_t *threadId);

// Suspends only the calling thread for the given number of milliseconds.
void Sleep(uint32_t milliseconds);

// Suspends the calling thread for good, at no cost while it waits.
[[noreturn]] void SleepForever();

}  // namespace linemode
