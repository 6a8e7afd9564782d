// The layer's own invariants. A broken invariant is a bug in the layer, not a
// failure to report through the API, so it stops the program with a message.
#pragma once

namespace winapi::detail {
[[noreturn]] void assertionFailed(const char* condition, const char* file, int line);
}

#define WINAPI_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : ::winapi::detail::assertionFailed(#condition, __FILE__, __LINE__))
