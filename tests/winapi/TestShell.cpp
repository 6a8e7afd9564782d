// ShellExecuteA: what the host sees of each call, and the results.
#include <shellapi.h>
#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

namespace {

bool succeeded(HINSTANCE result)
{
    return reinterpret_cast<std::uintptr_t>(result) > 32;
}

TEST(Shell, CallsAreRecordedInOrder)
{
    winapi::host::clearShellExecuteCalls();
    EXPECT_TRUE(succeeded(ShellExecuteA(nullptr, nullptr, "https://www.tarvix.example/", nullptr, nullptr, SW_SHOWDEFAULT)));
    EXPECT_TRUE(succeeded(ShellExecuteA(nullptr, "open", "https://second.example/", "-x", "/tmp", SW_SHOW)));
    const auto calls = winapi::host::shellExecuteCalls();
    ASSERT_EQ(calls.size(), 2U);
    EXPECT_EQ(calls[0].owner, nullptr);
    EXPECT_EQ(calls[0].operation, "");
    EXPECT_EQ(calls[0].file, "https://www.tarvix.example/");
    EXPECT_EQ(calls[0].parameters, "");
    EXPECT_EQ(calls[0].showCommand, SW_SHOWDEFAULT);
    EXPECT_EQ(calls[1].operation, "open");
    EXPECT_EQ(calls[1].parameters, "-x");
    EXPECT_EQ(calls[1].directory, "/tmp");
}

TEST(Shell, FailuresAnswerWithSmallResults)
{
    winapi::host::clearShellExecuteCalls();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ShellExecuteA(nullptr, "print", "a.txt", nullptr, nullptr, SW_SHOW)),
        std::uintptr_t { SE_ERR_NOASSOC });
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ShellExecuteA(nullptr, nullptr, "", nullptr, nullptr, SW_SHOW)),
        std::uintptr_t { SE_ERR_FNF });
    winapi::host::ScopedFailure failure("ShellExecuteA", 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(succeeded(ShellExecuteA(nullptr, nullptr, "https://x.example/", nullptr, nullptr, SW_SHOW)));
    EXPECT_EQ(winapi::host::shellExecuteCalls().size(), 1U) << "only the unknown verb got as far as the shell";
}

}
