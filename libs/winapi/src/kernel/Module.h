// The one module of the process, as GetModuleHandleA(NULL) reports it. Its
// value mimics the usual load address of a program image; it is never
// dereferenced.
#pragma once

#include <windows.h>

#include <cstdint>

namespace winapi {

inline HMODULE programModule()
{
    return reinterpret_cast<HMODULE>(std::uintptr_t { 0x00400000 });
}

}
