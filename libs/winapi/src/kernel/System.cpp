// Per-thread last-error codes, the module handle, clocks and threads.
#include "core/Faults.h"
#include "kernel/Module.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <strings.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {

thread_local DWORD lastError = 0;

constexpr LONGLONG counterFrequency = 10'000'000;

}

extern "C" {

DWORD WINAPI GetLastError(void)
{
    return lastError;
}

void WINAPI SetLastError(DWORD code)
{
    lastError = code;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    if (winapi::injectedFailure("GetModuleHandleA"))
        return nullptr;
    if (moduleName == nullptr)
        return winapi::programModule();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    frequency->QuadPart = counterFrequency;
    return TRUE;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    count->QuadPart = std::chrono::duration_cast<std::chrono::duration<LONGLONG, std::ratio<1, counterFrequency>>>(since)
                          .count();
    return TRUE;
}

DWORD WINAPI GetTickCount(void)
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void WINAPI Sleep(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD WINAPI GetCurrentThreadId(void)
{
    thread_local const DWORD id = static_cast<DWORD>(syscall(SYS_gettid));
    return id;
}

DWORD WINAPI GetCurrentProcessId(void)
{
    return static_cast<DWORD>(getpid());
}

int WINAPI lstrlenA(LPCSTR text)
{
    return text ? static_cast<int>(std::strlen(text)) : 0;
}

}
