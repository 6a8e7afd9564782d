// The scoped clipboard against the layer's clipboard: what putText stores
// and who owns it, the data kept for application-defined formats, one
// Clipboard at a time, format queries, reading back, another program
// holding the clipboard, and failures that must close it and leak nothing.
#include <wivel/application.h>
#include <wivel/clipboard.h>
#include <wivel/gdiobject.h>
#include <wivel/globalmem.h>
#include <wivel/windowbase.h>

#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include "ReleaseChecked.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using wivel::Clipboard;
using wivel::GlobalMemoryLock;
using wivel::GlobalMemoryObject;
using winapi::host::liveGdiObjects;
using winapi::host::liveGlobalBlocks;

constexpr UINT clipboardFlags = GMEM_MOVEABLE | GMEM_DDESHARE;
constexpr UINT privateFormat = 0x0300;

bool isLiveBlock(HGLOBAL block) { return GlobalFlags(block) != GMEM_INVALID_HANDLE; }

// Closed means this thread cannot close it again.
bool clipboardClosed()
{
    SetLastError(0);
    return !CloseClipboard() && GetLastError() == ERROR_CLIPBOARD_NOT_OPEN;
}

// A platform window wrapped as the owner of the clipboard.
class OwnerWindow : public wivel::WindowBase {
public:
    explicit OwnerWindow(wivel::Application& application)
        : WindowBase(application, makeWindow())
    {
    }
    ~OwnerWindow() override { DestroyWindow(handle()); }
    void create() override { }
    void installListeners() override { }

private:
    static HWND makeWindow()
    {
        static const ATOM windowClass = [] {
            WNDCLASSA record {};
            record.lpfnWndProc = DefWindowProcA;
            record.lpszClassName = "ClipboardOwnerWindow";
            return RegisterClassA(&record);
        }();
        EXPECT_NE(windowClass, 0);
        const HWND made = CreateWindowExA(0, "ClipboardOwnerWindow", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 60,
            nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(made, nullptr);
        return made;
    }
};

// Each test starts and ends with the clipboard closed and emptied through
// a Clipboard, so no kept data is left either, and with no block or
// drawing object left over.
class ClipboardTest : public ReleaseChecked {
protected:
    void SetUp() override
    {
        ReleaseChecked::SetUp();
        emptyAll();
        m_blocks = liveGlobalBlocks();
        m_objects = liveGdiObjects();
    }
    void TearDown() override
    {
        winapi::host::clearFailures();
        EXPECT_TRUE(clipboardClosed());
        emptyAll();
        EXPECT_EQ(liveGlobalBlocks(), m_blocks);
        EXPECT_EQ(liveGdiObjects(), m_objects);
        ReleaseChecked::TearDown();
    }
    static void emptyAll()
    {
        Clipboard clipboard(nullptr);
        clipboard.reset();
    }

private:
    std::size_t m_blocks = 0;
    std::size_t m_objects = 0;
};

TEST_F(ClipboardTest, PutTextStoresTheTextAndAZeroByte)
{
    for (const std::string text : { "abc", "", "a\xD7" "b\xF7" "c\r\n" }) {
        {
            Clipboard clipboard(nullptr);
            clipboard.reset();
            clipboard.putText(text, CF_TEXT);
        }
        EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), text + '\0') << text;
    }
}

// The copy of the application: open with its window, empty, store text.
TEST_F(ClipboardTest, ResetMakesTheOwnerWindowTheOwner)
{
    wivel::Application application;
    const OwnerWindow owner(application);
    {
        Clipboard clipboard(&owner);
        EXPECT_EQ(GetOpenClipboardWindow(), owner.handle());
        clipboard.reset();
        clipboard.putText("1 + 2 = 3\r\n", CF_TEXT);
    }
    EXPECT_EQ(GetClipboardOwner(), owner.handle());
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("1 + 2 = 3\r\n", 12));
}

TEST_F(ClipboardTest, StandardFormatsPassTheBlockToTheClipboard)
{
    HGLOBAL block = nullptr;
    {
        Clipboard clipboard(nullptr);
        clipboard.reset();
        const auto memory = std::make_shared<GlobalMemoryObject>("abc", clipboardFlags);
        block = memory->memoryHandle();
        clipboard.opIndexAssign(memory, CF_TEXT);
    }
    EXPECT_TRUE(isLiveBlock(block)) << "the clipboard owns it now; its object did not free it";
    emptyAll();
    EXPECT_FALSE(isLiveBlock(block)) << "emptying the clipboard freed it";
}

TEST_F(ClipboardTest, PrivateFormatDataIsKeptUntilReset)
{
    std::weak_ptr<GlobalMemoryObject> first;
    std::weak_ptr<GlobalMemoryObject> second;
    {
        Clipboard clipboard(nullptr);
        clipboard.reset();
        auto memory = std::make_shared<GlobalMemoryObject>("first", clipboardFlags);
        first = memory;
        clipboard.opIndexAssign(std::move(memory), privateFormat);
        EXPECT_FALSE(first.expired()) << "kept while on the clipboard";
        EXPECT_TRUE(first.lock()->owned()) << "the object still frees it";

        memory = std::make_shared<GlobalMemoryObject>("second", clipboardFlags);
        second = memory;
        clipboard.opIndexAssign(std::move(memory), privateFormat);
        EXPECT_TRUE(first.expired()) << "replaced";
        const auto stored = clipboard.retrieve(privateFormat);
        EXPECT_TRUE(dynamic_cast<GlobalMemoryObject&>(*stored) == *second.lock());
    }
    EXPECT_FALSE(second.expired()) << "kept after the clipboard is closed";
    const HGLOBAL block = second.lock()->memoryHandle();
    emptyAll();
    EXPECT_TRUE(second.expired());
    EXPECT_FALSE(isLiveBlock(block));
}

TEST_F(ClipboardTest, FormatsThatTheDataDoesNotAccept)
{
    Clipboard clipboard(nullptr);
    clipboard.reset();
    for (const UINT format : { CF_BITMAP, CF_PALETTE }) {
        const auto memory = std::make_shared<GlobalMemoryObject>("abc", clipboardFlags);
        EXPECT_THROW(clipboard.opIndexAssign(memory, format), wivel::AssertionFailure) << format;
        EXPECT_TRUE(memory->owned());
    }
    const auto bitmap = std::make_shared<wivel::Bitmap>(4, 4, 1, 1, nullptr);
    EXPECT_THROW(clipboard.opIndexAssign(bitmap, CF_TEXT), wivel::AssertionFailure);
    clipboard.opIndexAssign(bitmap, CF_BITMAP);
    EXPECT_FALSE(bitmap->owned());
    const auto retrieved = clipboard.retrieve(CF_BITMAP);
    const auto& back = dynamic_cast<wivel::Bitmap&>(*retrieved);
    EXPECT_EQ(back.handle(), bitmap->handle());
    EXPECT_EQ(back.width(), 4);
    EXPECT_FALSE(back.owned());
    EXPECT_EQ(clipboard.formatCount(), 1);
    clipboard.reset();
    EXPECT_EQ(GetObjectType(bitmap->handle()), 0U) << "the clipboard deleted the bitmap it was given";
}

TEST_F(ClipboardTest, OneClipboardAtATime)
{
    {
        Clipboard clipboard(nullptr);
        EXPECT_THROW(Clipboard { nullptr }, wivel::AssertionFailure);
        clipboard.putText("still usable", CF_TEXT);
    }
    EXPECT_TRUE(clipboardClosed()) << "the refused second object closed nothing and the first closed it";
    Clipboard again(nullptr);
}

TEST_F(ClipboardTest, FormatQueries)
{
    const std::vector<UINT> bitmapThenText { CF_BITMAP, CF_TEXT };
    const std::vector<UINT> bitmapOnly { CF_BITMAP };
    Clipboard clipboard(nullptr);
    clipboard.reset();
    EXPECT_EQ(clipboard.firstAvailableFormat(bitmapThenText), 0U) << "empty clipboard";
    EXPECT_FALSE(clipboard.hasFormat(CF_TEXT));
    EXPECT_EQ(clipboard.formatCount(), 0);

    clipboard.putText("abc", CF_TEXT);
    EXPECT_EQ(clipboard.firstAvailableFormat(bitmapThenText), static_cast<UINT>(CF_TEXT));
    EXPECT_EQ(clipboard.firstAvailableFormat(bitmapOnly), 0xFFFFFFFFU);
    EXPECT_TRUE(clipboard.hasFormat(CF_TEXT));
    EXPECT_FALSE(clipboard.hasFormat(CF_BITMAP));

    const auto retrieved = clipboard.retrieve(CF_TEXT);
    const auto& text = dynamic_cast<GlobalMemoryObject&>(*retrieved);
    EXPECT_FALSE(text.owned()) << "the handle stays the clipboard's";
    EXPECT_EQ(text.byteSize(), 4U);
    EXPECT_EQ(GlobalMemoryLock(text).toString(), "abc");
}

TEST_F(ClipboardTest, AnotherProgramHoldingTheClipboard)
{
    {
        const winapi::host::ScopedClipboardHold hold;
        ASSERT_TRUE(hold.held());
        try {
            Clipboard clipboard(nullptr);
            ADD_FAILURE() << "opened a clipboard that another program holds";
        } catch (const wivel::DefinedAPIException& e) {
            EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
            EXPECT_NE(std::string(e.what()).find("OpenClipboard in Clipboard.this"), std::string::npos) << e.what();
        }
    }
    Clipboard clipboard(nullptr);
}

TEST_F(ClipboardTest, FailedStoresCloseTheClipboardAndLeakNothing)
{
    struct Case {
        const char* name;
        std::function<std::shared_ptr<wivel::ClipboardData>()> make;
        UINT format;
    };
    const std::vector<Case> cases {
        { "text", [] { return std::make_shared<GlobalMemoryObject>("abc", clipboardFlags); }, CF_TEXT },
        { "bitmap", [] { return std::make_shared<wivel::Bitmap>(2, 2, 1, 1, nullptr); }, CF_BITMAP },
        { "private", [] { return std::make_shared<GlobalMemoryObject>("abc", clipboardFlags); }, privateFormat },
    };
    for (const Case& c : cases) {
        const std::size_t blocks = liveGlobalBlocks();
        const std::size_t objects = liveGdiObjects();
        std::weak_ptr<wivel::ClipboardData> data;
        try {
            Clipboard clipboard(nullptr);
            clipboard.reset();
            const winapi::host::ScopedFailure failure("SetClipboardData", 1, ERROR_NOT_ENOUGH_MEMORY);
            auto made = c.make();
            data = made;
            clipboard.opIndexAssign(std::move(made), c.format);
            ADD_FAILURE() << c.name << ": the store did not fail";
        } catch (const wivel::DefinedAPIException& e) {
            EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << c.name;
            EXPECT_NE(std::string(e.what()).find("SetClipboardData in Clipboard.opIndexAssign"), std::string::npos);
        }
        EXPECT_TRUE(data.expired()) << c.name << ": nothing keeps refused data";
        EXPECT_TRUE(clipboardClosed()) << c.name;
        EXPECT_EQ(liveGlobalBlocks(), blocks) << c.name;
        EXPECT_EQ(liveGdiObjects(), objects) << c.name;
    }
}

TEST_F(ClipboardTest, FailedResetKeepsThePrivateDataAndClosesTheClipboard)
{
    std::weak_ptr<GlobalMemoryObject> kept;
    {
        Clipboard clipboard(nullptr);
        clipboard.reset();
        auto memory = std::make_shared<GlobalMemoryObject>("kept", clipboardFlags);
        kept = memory;
        clipboard.opIndexAssign(std::move(memory), privateFormat);
    }
    try {
        Clipboard clipboard(nullptr);
        const winapi::host::ScopedFailure failure("EmptyClipboard", 1, ERROR_ACCESS_DENIED);
        clipboard.reset();
        ADD_FAILURE() << "the reset did not fail";
    } catch (const wivel::DefinedAPIException& e) {
        EXPECT_NE(std::string(e.what()).find("EmptyClipboard in Clipboard.reset"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(clipboardClosed());
    EXPECT_FALSE(kept.expired()) << "still on the clipboard, so still kept";
}

// The one failure a destructor cannot throw: it is reported instead, and
// the next Clipboard can still be made.
TEST(ClipboardClose, AFailedCloseIsReportedAndDoesNotShutTheClipboardAway)
{
    const std::size_t before = wivel::releaseFailureCount();
    {
        Clipboard clipboard(nullptr);
        winapi::host::failNext("CloseClipboard", 1, ERROR_INVALID_WINDOW_HANDLE);
    }
    winapi::host::clearFailures();
    EXPECT_EQ(wivel::releaseFailureCount(), before + 1);
    EXPECT_STREQ(wivel::lastReleaseFailure().call, "CloseClipboard");
    EXPECT_STREQ(wivel::lastReleaseFailure().operation, "Clipboard.~this");
    {
        Clipboard again(nullptr);
    }
    EXPECT_TRUE(clipboardClosed());
}

}
