// The two checks of platform results, the messages of the API exceptions,
// the programming-error types and the record of failed releases.
#include <wivel/except.h>

#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using wivel::checkDefinedAPI;
using wivel::checkUnknownAPI;
using wivel::DefinedAPIException;
using wivel::UnknownAPIException;

// The system's own text for a code, asked for directly.
std::string systemText(DWORD code)
{
    LPSTR text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER
            | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length != 0 ? std::string(text, length) : std::string();
    LocalFree(text);
    return result;
}

class Checks : public ::testing::Test {
protected:
    void TearDown() override { winapi::host::clearFailures(); }
};

TEST_F(Checks, DefinedCheckThrowsOnlyForFailureWithCode)
{
    struct Case {
        const char* name;
        long long integerResult;
        bool nullHandle;
        DWORD code;
        bool throws;
    };
    const Case cases[] {
        { "zero with code", 0, true, ERROR_INVALID_HANDLE, true },
        { "zero without code", 0, true, 0, false },
        { "positive with code", 1, false, ERROR_INVALID_HANDLE, false },
        { "negative with code", -1, false, ERROR_ACCESS_DENIED, false },
        { "large with code", 0x7FFFFFFF, false, ERROR_ACCESS_DENIED, false },
    };
    for (const Case& c : cases) {
        int handleTarget = 0;
        const void* handle = c.nullHandle ? nullptr : &handleTarget;
        for (const bool asHandle : { false, true }) {
            SetLastError(c.code);
            try {
                if (asHandle)
                    checkDefinedAPI(handle, "CallA", "Class.operation");
                else
                    checkDefinedAPI(static_cast<int>(c.integerResult), "CallA", "Class.operation");
                EXPECT_FALSE(c.throws) << c.name << (asHandle ? " (handle)" : " (integer)");
            } catch (const DefinedAPIException& e) {
                EXPECT_TRUE(c.throws) << c.name << (asHandle ? " (handle)" : " (integer)");
                EXPECT_EQ(e.errorCode(), c.code) << c.name;
            }
        }
    }
}

TEST_F(Checks, UnknownCheckIgnoresTheCode)
{
    for (const DWORD code : { DWORD { 0 }, DWORD { ERROR_ACCESS_DENIED } }) {
        SetLastError(code);
        try {
            checkUnknownAPI(FALSE, "MapWindowPoints", "WindowBase.toClientCoords");
            ADD_FAILURE() << "no exception for code " << code;
        } catch (const UnknownAPIException& e) {
            EXPECT_STREQ(e.what(), "Unknown exception in Windows API call MapWindowPoints in WindowBase.toClientCoords");
        }
        SetLastError(code);
        EXPECT_THROW(checkUnknownAPI(static_cast<const void*>(nullptr), "CallA", "Class.operation"),
            UnknownAPIException);
        EXPECT_NO_THROW(checkUnknownAPI(-1, "CallA", "Class.operation"));
    }
}

// The check reads the code that the failed platform call itself set.
TEST_F(Checks, DefinedCheckReportsTheCodeOfTheFailedCall)
{
    winapi::host::failNext("GlobalAlloc", 1, ERROR_NOT_ENOUGH_MEMORY);
    try {
        checkDefinedAPI(GlobalAlloc(GMEM_MOVEABLE, 16), "GlobalAlloc", "GlobalMemoryObject.this");
        ADD_FAILURE() << "no exception";
    } catch (const DefinedAPIException& e) {
        EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_EQ(std::string(e.what()),
            "Exception 8 in Windows API call GlobalAlloc in GlobalMemoryObject.this:\n"
                + systemText(ERROR_NOT_ENOUGH_MEMORY));
    }

    winapi::host::failNext("GlobalAlloc", 1, 0);
    EXPECT_NO_THROW(checkDefinedAPI(GlobalAlloc(GMEM_MOVEABLE, 16), "GlobalAlloc", "GlobalMemoryObject.this"));
}

TEST_F(Checks, DefinedMessages)
{
    struct Case {
        DWORD code;
        const char* prefix;
    };
    const Case cases[] {
        { ERROR_INVALID_HANDLE, "Exception 6 in Windows API call GetIconInfo in CursorOrIcon.info:\n" },
        // High bit set: unsigned decimal, never a minus sign.
        { 0x80070005u, "Exception 2147942405 in Windows API call GetIconInfo in CursorOrIcon.info:\n" },
        { 0xFFFFFFFFu, "Exception 4294967295 in Windows API call GetIconInfo in CursorOrIcon.info:\n" },
    };
    for (const Case& c : cases) {
        const std::size_t localBlocks = winapi::host::liveLocalBlocks();
        const DefinedAPIException e(c.code, "GetIconInfo", "CursorOrIcon.info");
        EXPECT_EQ(e.errorCode(), c.code);
        EXPECT_EQ(std::string(e.what()), c.prefix + systemText(c.code)) << c.code;
        EXPECT_EQ(winapi::host::liveLocalBlocks(), localBlocks) << "the system's buffer is released";
    }
    // Codes without a text end right after the colon and line break.
    const DefinedAPIException noText(0x20000001u, "CallA", "Class.operation");
    EXPECT_STREQ(noText.what(), "Exception 536870913 in Windows API call CallA in Class.operation:\n");

    const std::string withText = DefinedAPIException(ERROR_INVALID_HANDLE, "CallA", "Class.operation").what();
    ASSERT_GT(withText.size(), 2U);
    EXPECT_EQ(withText.substr(withText.size() - 2), "\r\n") << "the system text keeps its line break";
}

TEST_F(Checks, MessageWithoutSystemText)
{
    winapi::host::failNext("FormatMessageA", 1, ERROR_NOT_ENOUGH_MEMORY);
    const DefinedAPIException e(ERROR_INVALID_HANDLE, "CallA", "Class.operation");
    EXPECT_STREQ(e.what(), "Exception 6 in Windows API call CallA in Class.operation:\n");
}

TEST(ExceptionTree, KindsAndBases)
{
    const wivel::WivelException plain("some text");
    EXPECT_STREQ(plain.what(), "some text");
    const std::runtime_error& base = plain;
    EXPECT_STREQ(base.what(), "some text");

    const UnknownAPIException unknown("CallA", "Class.operation");
    EXPECT_NE(dynamic_cast<const wivel::WivelException*>(&unknown), nullptr);
    const DefinedAPIException defined(5, "CallA", "Class.operation");
    EXPECT_NE(dynamic_cast<const wivel::WivelException*>(&defined), nullptr);
}

// Programming errors travel as exceptions, but never as WivelExceptions.
TEST(ProgrammingErrors, ThrowTheirOwnTypes)
{
    EXPECT_NO_THROW(wivel::require(true, "holds"));
    EXPECT_NO_THROW(wivel::requireInRange(true, "holds"));
    try {
        wivel::require(false, "handle is not null");
        ADD_FAILURE() << "no exception";
    } catch (const wivel::WivelException&) {
        ADD_FAILURE() << "an assertion failure is not a WivelException";
    } catch (const wivel::AssertionFailure& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("handle is not null"), std::string::npos) << text;
        EXPECT_NE(text.find("TestExcept.cpp:"), std::string::npos) << text;
    }
    try {
        wivel::requireInRange(false, "index below length");
        ADD_FAILURE() << "no exception";
    } catch (const wivel::WivelException&) {
        ADD_FAILURE() << "a range error is not a WivelException";
    } catch (const wivel::RangeError& e) {
        EXPECT_NE(std::string(e.what()).find("index below length"), std::string::npos);
    }
}

TEST(Releases, FailuresAreRecordedNotThrown)
{
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(block, nullptr);
    const std::size_t before = wivel::releaseFailureCount();
    wivel::checkRelease(GlobalFree(block) == nullptr, "GlobalFree", "Test.release");
    EXPECT_EQ(wivel::releaseFailureCount(), before);

    // Freeing it again fails: the handle is stale.
    wivel::checkRelease(GlobalFree(block) == nullptr, "GlobalFree", "Test.release");
    EXPECT_EQ(wivel::releaseFailureCount(), before + 1);
    const wivel::ReleaseFailure report = wivel::lastReleaseFailure();
    EXPECT_EQ(report.errorCode, static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_STREQ(report.call, "GlobalFree");
    EXPECT_STREQ(report.operation, "Test.release");
}

}
