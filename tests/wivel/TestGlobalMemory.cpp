// Global memory blocks against the layer's memory store: what the
// constructors allocate and copy, equality of wrapped handles, ownership
// and its hand-over to the clipboard, copies, locks and their text, and
// failures of allocation, locking, freeing and unlocking.
#include <wivel/globalmem.h>

#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include "ReleaseChecked.h"

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using wivel::GlobalMemoryLock;
using wivel::GlobalMemoryObject;
using winapi::host::liveGlobalBlocks;

constexpr UINT clipboardFlags = GMEM_MOVEABLE | GMEM_DDESHARE;

bool isLiveBlock(HGLOBAL block) { return GlobalFlags(block) != GMEM_INVALID_HANDLE; }
UINT lockCount(HGLOBAL block) { return GlobalFlags(block) & GMEM_LOCKCOUNT; }

std::string contents(const GlobalMemoryObject& memory)
{
    const GlobalMemoryLock lock(memory);
    return std::string(reinterpret_cast<const char*>(lock.data().data()), lock.data().size());
}

// A block made by the platform directly, as the clipboard hands them out.
HGLOBAL platformBlock(std::string_view bytes)
{
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// Every owned block is freed once, and nothing else is left allocated.
class GlobalMemory : public ReleaseChecked {
protected:
    void SetUp() override
    {
        ReleaseChecked::SetUp();
        m_blocks = liveGlobalBlocks();
    }
    void TearDown() override
    {
        ReleaseChecked::TearDown();
        EXPECT_EQ(liveGlobalBlocks(), m_blocks);
    }

private:
    std::size_t m_blocks = 0;
};

TEST_F(GlobalMemory, TextAndBytesBlocks)
{
    struct Case {
        std::function<std::unique_ptr<GlobalMemoryObject>()> make;
        std::string bytes;
    };
    const std::vector<std::byte> raw { std::byte { 1 }, std::byte { 0 }, std::byte { 0xFF } };
    const std::vector<Case> cases {
        { [] { return std::make_unique<GlobalMemoryObject>("abc", clipboardFlags); }, std::string("abc\0", 4) },
        { [] { return std::make_unique<GlobalMemoryObject>("", clipboardFlags); }, std::string("\0", 1) },
        { [&raw] { return std::make_unique<GlobalMemoryObject>(std::span<const std::byte>(raw), clipboardFlags); },
            std::string("\x01\0\xFF", 3) },
    };
    for (const Case& c : cases) {
        const auto memory = c.make();
        EXPECT_TRUE(memory->owned());
        EXPECT_EQ(memory->byteSize(), c.bytes.size());
        EXPECT_EQ(GlobalSize(memory->memoryHandle()), c.bytes.size());
        EXPECT_EQ(memory->allocFlags(), clipboardFlags);
        EXPECT_EQ(contents(*memory), c.bytes);
        EXPECT_EQ(lockCount(memory->memoryHandle()), 0U) << "the copy left the block unlocked";
    }
    const GlobalMemoryObject empty(std::span<const std::byte> {}, clipboardFlags);
    EXPECT_EQ(empty.byteSize(), 0U);
}

TEST_F(GlobalMemory, WrappedHandlesAreEqual)
{
    const HGLOBAL block = platformBlock("wrapped");
    {
        const GlobalMemoryObject first(block);
        const GlobalMemoryObject second(block);
        const GlobalMemoryObject other("wrapped", clipboardFlags);
        const wivel::Object unrelated;
        EXPECT_TRUE(first.equals(&second));
        EXPECT_TRUE(first == second);
        EXPECT_EQ(first.toHash(), second.toHash());
        EXPECT_FALSE(first.equals(&other)) << "same bytes, another block";
        EXPECT_FALSE(first.equals(&unrelated));
        EXPECT_FALSE(first.equals(nullptr));
        EXPECT_FALSE(first.owned());
        EXPECT_EQ(first.byteSize(), 7U);
        EXPECT_EQ(first.allocFlags(), 0U);
    }
    EXPECT_TRUE(isLiveBlock(block)) << "a wrapped block is never freed by its wrapper";
    GlobalFree(block);
}

TEST_F(GlobalMemory, OwnershipPassesToTheClipboardOnlyWithTransfer)
{
    for (const bool transfer : { true, false }) {
        HGLOBAL block = nullptr;
        {
            GlobalMemoryObject memory("data", clipboardFlags);
            block = memory.memoryHandle();
            EXPECT_EQ(memory.clipboardHandle(CF_TEXT, transfer), block);
            EXPECT_EQ(memory.owned(), !transfer);
        }
        EXPECT_EQ(isLiveBlock(block), transfer) << "transfer " << transfer;
        if (transfer)
            GlobalFree(block);
    }
}

TEST_F(GlobalMemory, DrawingObjectFormatsAreRefused)
{
    GlobalMemoryObject memory("data", clipboardFlags);
    for (const UINT format : { CF_BITMAP, CF_PALETTE }) {
        for (const bool transfer : { true, false })
            EXPECT_THROW(memory.clipboardHandle(format, transfer), wivel::AssertionFailure) << format;
    }
    EXPECT_TRUE(memory.owned()) << "a refused hand-over keeps the block";
}

TEST_F(GlobalMemory, DuplicateOfAWrappedBlockIsOwnedAndShareable)
{
    const HGLOBAL block = platformBlock(std::string("a\0b", 3));
    {
        const GlobalMemoryObject wrapped(block);
        const auto copy = wrapped.duplicate();
        EXPECT_TRUE(copy->owned());
        EXPECT_NE(copy->memoryHandle(), block);
        EXPECT_EQ(copy->allocFlags(), clipboardFlags);
        EXPECT_EQ(copy->byteSize(), 3U);
        EXPECT_EQ(contents(*copy), std::string("a\0b", 3));
        EXPECT_EQ(lockCount(block), 0U);

        const GlobalMemoryObject zeroed(8, GMEM_MOVEABLE | GMEM_ZEROINIT);
        EXPECT_EQ(zeroed.duplicate()->allocFlags(), clipboardFlags | GMEM_ZEROINIT) << "the original's flags are kept";

        const winapi::host::ScopedFailure failure("GlobalAlloc", 1, ERROR_NOT_ENOUGH_MEMORY);
        try {
            (void)wrapped.duplicate();
            ADD_FAILURE() << "the allocation failure is reported";
        } catch (const wivel::DefinedAPIException& e) {
            EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
            EXPECT_NE(std::string(e.what()).find("GlobalAlloc in GlobalMemoryObject.this"), std::string::npos) << e.what();
        }
        EXPECT_EQ(lockCount(block), 0U) << "the source is unlocked when the allocation fails too";
    }
    GlobalFree(block);
}

TEST_F(GlobalMemory, LockTextAndNesting)
{
    const GlobalMemoryObject memory(std::span<const std::byte>(reinterpret_cast<const std::byte*>("abc\0xy"), 6),
        clipboardFlags);
    const GlobalMemoryObject unterminated(std::span<const std::byte>(reinterpret_cast<const std::byte*>("abcd"), 4),
        clipboardFlags);
    {
        const GlobalMemoryLock outer(memory);
        EXPECT_EQ(outer.toString(), "abc");
        EXPECT_EQ(outer.data().size(), 6U);
        {
            const GlobalMemoryLock inner(memory);
            EXPECT_EQ(lockCount(memory.memoryHandle()), 2U);
            EXPECT_EQ(inner.data().data(), outer.data().data());
        }
        EXPECT_EQ(lockCount(memory.memoryHandle()), 1U);
        const GlobalMemoryLock other(unterminated);
        EXPECT_EQ(other.toString(), "abcd") << "a text without a zero byte ends with its block";
    }
    EXPECT_EQ(lockCount(memory.memoryHandle()), 0U);

    const GlobalMemoryObject stale(reinterpret_cast<HGLOBAL>(0x5FFF0001));
    EXPECT_THROW(GlobalMemoryLock { stale }, wivel::AssertionFailure);
}

TEST_F(GlobalMemory, FailedConstructionsLeaveNothingBehind)
{
    struct Case {
        const char* call;
        DWORD code;
        bool defined;
    };
    for (const Case& c : { Case { "GlobalAlloc", ERROR_NOT_ENOUGH_MEMORY, true },
             Case { "GlobalLock", ERROR_DISCARDED, true }, Case { "GlobalLock", 0, false } }) {
        const winapi::host::ScopedFailure failure(c.call, 1, c.code);
        try {
            GlobalMemoryObject memory("abc", clipboardFlags);
            ADD_FAILURE() << c.call << " failed, yet an object was made";
        } catch (const wivel::DefinedAPIException& e) {
            EXPECT_TRUE(c.defined) << c.call;
            EXPECT_EQ(e.errorCode(), c.code);
            EXPECT_NE(std::string(e.what()).find(std::string(c.call) + " in GlobalMemoryObject.this"), std::string::npos);
        } catch (const wivel::UnknownAPIException& e) {
            EXPECT_FALSE(c.defined) << c.call;
            EXPECT_EQ(std::string(e.what()), std::string("Unknown exception in Windows API call ") + c.call
                    + " in GlobalMemoryObject.this");
        }
    }
}

// Failed releases are expected here, so the fixture that forbids them is
// not used; the blocks are still counted.
TEST(GlobalMemoryRelease, FailedReleasesAreReportedNotThrown)
{
    const std::size_t blocks = liveGlobalBlocks();
    struct Case {
        const char* call;
        DWORD code;
        bool reported;
        const char* operation;
    };
    const std::vector<Case> cases {
        { "GlobalFree", ERROR_INVALID_HANDLE, true, "GlobalMemoryObject.~this" },
        { "GlobalFree", 0, false, "" },
        { "GlobalUnlock", ERROR_NOT_LOCKED, true, "GlobalMemoryLock.~this" },
        { "GlobalUnlock", ERROR_INVALID_PARAMETER, false, "" },
        { "GlobalUnlock", 0, false, "" },
    };
    for (const Case& c : cases) {
        auto memory = std::make_unique<GlobalMemoryObject>("abc", clipboardFlags);
        const HGLOBAL block = memory->memoryHandle();
        const std::size_t before = wivel::releaseFailureCount();
        {
            const winapi::host::ScopedFailure failure(c.call, 1, c.code);
            if (std::string_view(c.call) == "GlobalUnlock")
                GlobalMemoryLock { *memory };
            else
                memory.reset();
        }
        EXPECT_EQ(wivel::releaseFailureCount(), before + (c.reported ? 1 : 0)) << c.call << ' ' << c.code;
        if (c.reported) {
            EXPECT_STREQ(wivel::lastReleaseFailure().call, c.call);
            EXPECT_STREQ(wivel::lastReleaseFailure().operation, c.operation);
            EXPECT_EQ(wivel::lastReleaseFailure().errorCode, c.code);
        }
        if (memory)
            memory.reset();
        else
            EXPECT_EQ(GlobalFree(block), nullptr) << "the block whose release failed is still there";
    }
    EXPECT_EQ(liveGlobalBlocks(), blocks);
}

}
