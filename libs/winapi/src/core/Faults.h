// Fault injection inside the layer: each entry point that can fail asks
// injectedFailure() first. The common case (nothing armed) is one atomic load.
#pragma once

#include <windows.h>

#include <atomic>

namespace winapi {

namespace detail {
extern std::atomic<unsigned> armedFailures;
bool consumeFailure(const char* operation);
}

// True, with the armed code set as the last-error code, when the caller
// must fail this call. `operation` is the platform's name of the call.
inline bool injectedFailure(const char* operation)
{
    if (detail::armedFailures.load(std::memory_order_acquire) == 0)
        return false;
    return detail::consumeFailure(operation);
}

}
