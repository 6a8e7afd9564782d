#include "core/Assert.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] void winapi::detail::assertionFailed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "winapi: internal invariant broken: %s (%s:%d)\n", condition, file, line);
    std::abort();
}
