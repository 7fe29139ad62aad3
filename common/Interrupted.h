// System calls that a signal may interrupt before they did anything.
#pragma once

#include <cerrno>

// Calls `call` again for as long as it fails with EINTR; its last result.
template <typename Call>
inline auto RetryInterrupted(Call call) -> decltype(call())
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}
