// Kernel services of the layer: last-error codes, message texts, memory
// blocks and their lock counts, the module handle, clocks, fault injection.
#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

std::string systemText(DWORD code)
{
    LPSTR text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER
            | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    if (length == 0)
        return {};
    std::string result(text, length);
    EXPECT_EQ(LocalFree(text), nullptr);
    return result;
}

TEST(Kernel, LastErrorIsPerThread)
{
    SetLastError(ERROR_INVALID_HANDLE);
    DWORD other = 1;
    std::thread([&] {
        other = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
    }).join();
    EXPECT_EQ(other, 0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Kernel, MessageTexts)
{
    for (const DWORD code : { ERROR_INVALID_HANDLE, ERROR_NOT_LOCKED, ERROR_CLASS_ALREADY_EXISTS,
             ERROR_CLIPBOARD_NOT_OPEN, ERROR_INVALID_WINDOW_HANDLE, ERROR_RESOURCE_NAME_NOT_FOUND }) {
        const std::string text = systemText(code);
        ASSERT_GT(text.size(), 2U) << code;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << code;
        EXPECT_EQ(text.find("\r\n"), text.size() - 2) << "one line only: " << code;
    }
    const std::size_t localBefore = winapi::host::liveLocalBlocks();
    SetLastError(0);
    EXPECT_EQ(systemText(0x20000001), "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
    EXPECT_EQ(winapi::host::liveLocalBlocks(), localBefore);

    char small[8];
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_INVALID_HANDLE, 0, small, sizeof small, nullptr),
        0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char large[256];
    const DWORD length
        = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_INVALID_HANDLE, 0, large, sizeof large, nullptr);
    EXPECT_EQ(std::string(large, length), systemText(ERROR_INVALID_HANDLE));
}

TEST(Kernel, MovableBlocksCountTheirLocks)
{
    const std::size_t before = winapi::host::liveGlobalBlocks();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 4U);

    SetLastError(12345);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

    auto* first = static_cast<char*>(GlobalLock(block));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::memcmp(first, "\0\0\0\0", 4), 0);
    std::memcpy(first, "abc", 4);
    auto* second = static_cast<char*>(GlobalLock(block));
    EXPECT_EQ(second, first);
    EXPECT_EQ(GlobalFlags(block) & GMEM_LOCKCOUNT, 2U);

    EXPECT_TRUE(GlobalUnlock(block));
    SetLastError(12345);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR)) << "reaching zero is not a failure";
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

    EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "abc");
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(winapi::host::liveGlobalBlocks(), before);
}

TEST(Kernel, StaleAndForeignHandlesAreRefused)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 1);
    ASSERT_EQ(GlobalFree(block), nullptr);
    HGLOBAL reused = GlobalAlloc(GMEM_MOVEABLE, 1);
    ASSERT_NE(reused, block) << "a freed handle must not come back at once";

    struct Case {
        const char* what;
        HGLOBAL handle;
    };
    int notABlock = 0;
    for (const Case& c : { Case { "freed", block }, Case { "never allocated", &notABlock },
             Case { "small number", reinterpret_cast<HGLOBAL>(std::uintptr_t { 0x1234 }) } }) {
        SetLastError(0);
        EXPECT_EQ(GlobalLock(c.handle), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.what;
        SetLastError(0);
        EXPECT_EQ(GlobalSize(c.handle), 0U) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.what;
        SetLastError(0);
        EXPECT_FALSE(GlobalUnlock(c.handle)) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.what;
        EXPECT_EQ(GlobalFree(c.handle), c.handle) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.what;
    }
    EXPECT_EQ(GlobalFree(reused), nullptr);
}

TEST(Kernel, FixedBlocksAreTheirOwnPointers)
{
    HGLOBAL fixed = GlobalAlloc(GPTR, 3);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(GlobalLock(fixed), fixed);
    EXPECT_TRUE(GlobalUnlock(fixed));
    EXPECT_EQ(GlobalSize(fixed), 3U);
    EXPECT_EQ(GlobalFree(fixed), nullptr);

    HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalLock(empty), nullptr);
    EXPECT_EQ(GlobalFlags(empty) & GMEM_DISCARDED, static_cast<UINT>(GMEM_DISCARDED));
    EXPECT_EQ(GlobalFree(empty), nullptr);

    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, SIZE_T { 1 } << 40), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST(Kernel, InjectedFailuresHitTheNamedCallOnly)
{
    winapi::host::ScopedFailure failure("GlobalAlloc", 2, ERROR_NOT_ENOUGH_MEMORY);
    SetLastError(0);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 8), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(winapi::host::pendingFailures("GlobalAlloc"), 1U);

    HLOCAL local = LocalAlloc(LPTR, 8);
    EXPECT_NE(local, nullptr) << "another call is not affected";
    LocalFree(local);

    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 8), nullptr);
    HGLOBAL third = GlobalAlloc(GMEM_MOVEABLE, 8);
    EXPECT_NE(third, nullptr);
    GlobalFree(third);
    EXPECT_EQ(winapi::host::pendingFailures("GlobalAlloc"), 0U);
}

TEST(Kernel, ModuleAndClocks)
{
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr));
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("elsewhere.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    LARGE_INTEGER frequency, first, second;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_GE(frequency.QuadPart, 1000000);
    ASSERT_TRUE(QueryPerformanceCounter(&first));
    Sleep(5);
    ASSERT_TRUE(QueryPerformanceCounter(&second));
    const double seconds = static_cast<double>(second.QuadPart - first.QuadPart) / static_cast<double>(frequency.QuadPart);
    EXPECT_GE(seconds, 0.004);
    EXPECT_LT(seconds, 1.0);
}

}
