#include "line/Platform.h"

#include <atomic>
#include <cassert>
#include <chrono>
#include <system_error>

namespace linemode {

ThreadHandle CreateThread(const void *securityAttributes, size_t, ThreadStartRoutine start, void *parameter,
                          uint32_t creationFlags, uint32_t *threadId)
{
    assert(securityAttributes == nullptr && creationFlags == 0);
    (void)securityAttributes;
    (void)creationFlags;
    static std::atomic<uint32_t> s_lastThreadId{0};
    try {
        std::thread thread([start, parameter] { start(parameter); });
        ThreadHandle handle = thread.get_id();
        thread.detach();
        if (threadId != nullptr)
            *threadId = ++s_lastThreadId;
        return handle;
    } catch (const std::system_error &) {
        return ThreadHandle();
    }
}

void Sleep(uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SleepForever()
{
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(24));
}

}  // namespace linemode
