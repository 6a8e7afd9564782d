// The clipboard: one thread at a time holds it open, another program can
// hold it too; who frees the data of each kind of format; formats in the
// order they were placed, text offered in the other text format; names of
// registered formats; failures armed through the host; many threads at once;
// owner windows told of emptying and asked to render, also across threads.
#include "WindowTesting.h"

#include <atomic>
#include <future>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using winapi::host::liveGdiObjects;
using winapi::host::liveGlobalBlocks;

HGLOBAL blockOf(std::string_view bytes)
{
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes.size());
    EXPECT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

bool isLiveBlock(HGLOBAL block) { return GlobalFlags(block) != GMEM_INVALID_HANDLE; }

// Runs `work` on a thread of its own and waits for it.
template<typename Work>
void onOtherThread(Work work)
{
    std::thread(work).join();
}

void emptyClipboard()
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
}

// Every test starts and ends with the clipboard closed and empty, and
// leaves no memory block or drawing object behind.
class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        emptyClipboard();
        m_blocks = liveGlobalBlocks();
        m_objects = liveGdiObjects();
    }
    void TearDown() override
    {
        winapi::host::clearFailures();
        CloseClipboard();
        emptyClipboard();
        EXPECT_EQ(liveGlobalBlocks(), m_blocks);
        EXPECT_EQ(liveGdiObjects(), m_objects);
    }
    // Opens, empties and stores `data` under `format`, then closes.
    static void store(UINT format, HANDLE data)
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_TRUE(EmptyClipboard());
        EXPECT_EQ(SetClipboardData(format, data), data);
        ASSERT_TRUE(CloseClipboard());
    }

private:
    std::size_t m_blocks = 0;
    std::size_t m_objects = 0;
};

TEST_F(Clipboard, CallsThatNeedItOpenFailWhileItIsClosed)
{
    const HGLOBAL block = blockOf("x");
    struct Case {
        const char* call;
        std::function<bool()> fails;
    };
    const std::vector<Case> cases {
        { "CloseClipboard", [] { return !CloseClipboard(); } },
        { "EmptyClipboard", [] { return !EmptyClipboard(); } },
        { "SetClipboardData", [block] { return SetClipboardData(CF_TEXT, block) == nullptr; } },
        { "GetClipboardData", [] { return GetClipboardData(CF_TEXT) == nullptr; } },
        { "EnumClipboardFormats", [] { return EnumClipboardFormats(0) == 0; } },
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_TRUE(c.fails()) << c.call;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN)) << c.call;
    }
    EXPECT_TRUE(isLiveBlock(block)) << "a refused block stays its caller's";
    GlobalFree(block);
}

TEST_F(Clipboard, OneThreadAtATimeHoldsItOpen)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(OpenClipboard(nullptr)) << "opening again with the same window";
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    onOtherThread([] {
        EXPECT_FALSE(OpenClipboard(nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_FALSE(EmptyClipboard());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
        EXPECT_FALSE(CloseClipboard()) << "only the thread that opened it closes it";
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    });
    ASSERT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard()) << "one close ends any number of opens";

    onOtherThread([] { EXPECT_TRUE(OpenClipboard(nullptr)); });
    EXPECT_TRUE(OpenClipboard(nullptr)) << "a thread that ended with it open closed it";
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, AnotherProgramHoldingItKeepsItFromOpening)
{
    {
        const winapi::host::ScopedClipboardHold hold;
        ASSERT_TRUE(hold.held());
        SetLastError(0);
        EXPECT_FALSE(OpenClipboard(nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(winapi::host::holdClipboard()) << "nobody else gets it while this program has it open";
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, WhoFreesTheDataOfEachFormat)
{
    const UINT registered = RegisterClipboardFormatA("Clipboard test format");
    struct Case {
        UINT format;
        bool freedByClipboard;
    };
    const std::vector<Case> cases {
        { CF_TEXT, true },
        { CF_DIB, true },
        { CF_UNICODETEXT, true },
        { registered, true },
        { CF_PRIVATEFIRST, false },
        { CF_PRIVATELAST, false },
        { CF_GDIOBJFIRST, false },
        { CF_GDIOBJLAST, false },
    };
    for (const Case& c : cases) {
        const HGLOBAL block = blockOf("data");
        store(c.format, block);
        EXPECT_TRUE(isLiveBlock(block)) << "the clipboard keeps it until it is emptied: " << c.format;
        emptyClipboard();
        EXPECT_EQ(isLiveBlock(block), !c.freedByClipboard) << c.format;
        if (!c.freedByClipboard) {
            EXPECT_EQ(GlobalFree(block), nullptr) << "still its program's to free: " << c.format;
        }
    }
}

TEST_F(Clipboard, ReplacedDataIsFreedAndSharedHandlesOnce)
{
    const HGLOBAL first = blockOf("first");
    const HGLOBAL second = blockOf("second");
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_TEXT, first), first);
    EXPECT_EQ(SetClipboardData(CF_TEXT, first), first);
    EXPECT_TRUE(isLiveBlock(first)) << "storing the same block again keeps it";
    EXPECT_EQ(SetClipboardData(CF_TEXT, second), second);
    EXPECT_FALSE(isLiveBlock(first));
    EXPECT_EQ(SetClipboardData(CF_DIB, second), second);
    EXPECT_EQ(CountClipboardFormats(), 3) << "text, the block's second format and unicode text offered";
    const std::size_t before = liveGlobalBlocks();
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(liveGlobalBlocks(), before - 1);
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, DrawingObjectsAreDeletedWhenEmptied)
{
    const BYTE white[] = { 0xFF, 0xFF };
    const HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, white);
    std::vector<BYTE> record(sizeof(LOGPALETTE));
    auto* logical = reinterpret_cast<LOGPALETTE*>(record.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = 1;
    const HPALETTE palette = CreatePalette(logical);
    const HGLOBAL block = blockOf("text");
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(palette, nullptr);

    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    struct Refused {
        UINT format;
        HANDLE data;
    };
    for (const Refused& r : { Refused { CF_BITMAP, palette }, Refused { CF_PALETTE, bitmap },
             Refused { CF_BITMAP, block }, Refused { CF_TEXT, bitmap }, Refused { CF_ENHMETAFILE, block } }) {
        SetLastError(0);
        EXPECT_EQ(SetClipboardData(r.format, r.data), nullptr) << r.format;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << r.format;
    }
    EXPECT_EQ(CountClipboardFormats(), 0);
    EXPECT_EQ(SetClipboardData(CF_BITMAP, bitmap), bitmap);
    EXPECT_EQ(SetClipboardData(CF_PALETTE, palette), palette);
    EXPECT_EQ(GetClipboardData(CF_BITMAP), bitmap);
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetObjectType(bitmap), 0U);
    EXPECT_EQ(GetObjectType(palette), 0U);
    EXPECT_TRUE(CloseClipboard());
    GlobalFree(block);
}

TEST_F(Clipboard, FormatsInTheOrderTheyWerePlaced)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(EnumClipboardFormats(0), 0U);
    EXPECT_EQ(GetLastError(), 0U) << "an empty list ends at once, without failing";

    SetClipboardData(CF_DIB, blockOf("dib"));
    SetClipboardData(CF_PRIVATEFIRST, reinterpret_cast<HANDLE>(0x1234));
    SetClipboardData(CF_TEXT, blockOf("text"));
    std::vector<UINT> listed;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
        listed.push_back(format);
    EXPECT_EQ(GetLastError(), 0U);
    EXPECT_EQ(listed, (std::vector<UINT> { CF_DIB, CF_PRIVATEFIRST, CF_TEXT, CF_UNICODETEXT }));
    EXPECT_EQ(CountClipboardFormats(), 4);
    EXPECT_EQ(GetClipboardData(CF_PRIVATEFIRST), reinterpret_cast<HANDLE>(0x1234));
    EXPECT_TRUE(CloseClipboard());

    struct Case {
        UINT format;
        bool available;
    };
    for (const Case& c : { Case { CF_DIB, true }, Case { CF_TEXT, true }, Case { CF_UNICODETEXT, true },
             Case { CF_OEMTEXT, false }, Case { CF_BITMAP, false }, Case { 0, false } })
        EXPECT_EQ(IsClipboardFormatAvailable(c.format) != FALSE, c.available) << c.format;
}

TEST_F(Clipboard, PriorityFormat)
{
    struct Case {
        std::vector<UINT> list;
        int textOnClipboard;
        int emptyClipboard;
    };
    const std::vector<Case> cases {
        { { CF_BITMAP, CF_TEXT }, CF_TEXT, 0 },
        { { CF_TEXT, CF_BITMAP }, CF_TEXT, 0 },
        { { CF_UNICODETEXT, CF_TEXT }, CF_UNICODETEXT, 0 },
        { { CF_BITMAP }, -1, 0 },
        { {}, -1, 0 },
    };
    for (const Case& c : cases) {
        std::vector<UINT> list = c.list;
        EXPECT_EQ(GetPriorityClipboardFormat(list.data(), static_cast<int>(list.size())), c.emptyClipboard);
    }
    store(CF_TEXT, blockOf("abc"));
    for (const Case& c : cases) {
        std::vector<UINT> list = c.list;
        EXPECT_EQ(GetPriorityClipboardFormat(list.data(), static_cast<int>(list.size())), c.textOnClipboard);
    }
    SetLastError(0);
    EXPECT_EQ(GetPriorityClipboardFormat(nullptr, 2), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Clipboard, TextIsOfferedInTheOtherTextFormat)
{
    store(CF_TEXT, blockOf("a\xD7" "b\x80\x81"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE wide = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), wide) << "converted once";
    EXPECT_EQ(std::wstring(static_cast<const WCHAR*>(GlobalLock(wide))), L"a\u00D7b\u20AC\u0081");
    GlobalUnlock(wide);
    EXPECT_EQ(CountClipboardFormats(), 2);

    // New text makes the old conversion stale: it is freed, and made again.
    SetClipboardData(CF_TEXT, blockOf("new"));
    EXPECT_FALSE(isLiveBlock(wide));
    const HANDLE again = GetClipboardData(CF_UNICODETEXT);
    EXPECT_EQ(std::wstring(static_cast<const WCHAR*>(GlobalLock(again))), L"new");
    GlobalUnlock(again);

    ASSERT_TRUE(EmptyClipboard());
    const std::wstring unicode = L"x\u00F7\u20AC\u4E00";
    const HGLOBAL source = GlobalAlloc(GMEM_MOVEABLE, (unicode.size() + 1) * sizeof(WCHAR));
    std::memcpy(GlobalLock(source), unicode.c_str(), (unicode.size() + 1) * sizeof(WCHAR));
    GlobalUnlock(source);
    SetClipboardData(CF_UNICODETEXT, source);
    const HANDLE narrow = GetClipboardData(CF_TEXT);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(narrow))), "x\xF7\x80?");
    GlobalUnlock(narrow);
    EXPECT_EQ(GetClipboardData(CF_OEMTEXT), nullptr);
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, RegisteredFormatNames)
{
    const UINT first = RegisterClipboardFormatA("Tabular Rows");
    EXPECT_GE(first, 0xC000U);
    EXPECT_EQ(RegisterClipboardFormatA("tabular rows"), first) << "names compare without case";
    const UINT second = RegisterClipboardFormatA("Tabular Rows 2");
    EXPECT_NE(second, first);
    EXPECT_GE(second, 0xC000U);

    char name[64];
    EXPECT_EQ(GetClipboardFormatNameA(first, name, sizeof name), 12);
    EXPECT_STREQ(name, "Tabular Rows") << "the spelling first registered";
    EXPECT_EQ(GetClipboardFormatNameA(first, name, 4), 3);
    EXPECT_STREQ(name, "Tab");

    struct Refused {
        const char* what;
        std::function<bool()> refused;
    };
    const std::string tooLong(256, 'n');
    for (const Refused& r : {
             Refused { "null name", [] { return RegisterClipboardFormatA(nullptr) == 0; } },
             Refused { "empty name", [] { return RegisterClipboardFormatA("") == 0; } },
             Refused { "name too long", [&tooLong] { return RegisterClipboardFormatA(tooLong.c_str()) == 0; } },
             Refused { "standard format", [&name] { return GetClipboardFormatNameA(CF_TEXT, name, 64) == 0; } },
             Refused { "unregistered", [&name] { return GetClipboardFormatNameA(0xFFFF, name, 64) == 0; } },
             Refused { "no buffer", [first] { return GetClipboardFormatNameA(first, nullptr, 64) == 0; } },
         }) {
        SetLastError(0);
        EXPECT_TRUE(r.refused()) << r.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << r.what;
    }
}

TEST_F(Clipboard, RenderingOnRequestNeedsAnOwner)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    SetLastError(0);
    EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, ArmedFailuresChangeNothing)
{
    const HGLOBAL block = blockOf("kept");
    store(CF_TEXT, block);
    const DWORD sequence = GetClipboardSequenceNumber();
    struct Case {
        const char* call;
        std::function<bool()> fails;
    };
    const HGLOBAL offered = blockOf("offered");
    const std::vector<Case> cases {
        { "OpenClipboard", [] { return !OpenClipboard(nullptr); } },
        { "EmptyClipboard", [] { return !EmptyClipboard(); } },
        { "SetClipboardData", [offered] { return SetClipboardData(CF_TEXT, offered) == nullptr; } },
        { "GetClipboardData", [] { return GetClipboardData(CF_TEXT) == nullptr; } },
        { "CloseClipboard", [] { return !CloseClipboard(); } },
    };
    for (const Case& c : cases) {
        const bool opened = std::string_view(c.call) != "OpenClipboard" && OpenClipboard(nullptr);
        winapi::host::failNext(c.call, 1, ERROR_NOT_ENOUGH_MEMORY);
        SetLastError(0);
        EXPECT_TRUE(c.fails()) << c.call;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << c.call;
        if (opened) {
            EXPECT_TRUE(CloseClipboard()) << "still open after a failed " << c.call;
        }
        EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("kept", 4)) << c.call;
    }
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
    EXPECT_TRUE(isLiveBlock(offered)) << "a block that was not stored stays its caller's";
    GlobalFree(offered);
}

TEST_F(Clipboard, AnotherProgramsDataReplacesOurs)
{
    const HGLOBAL ours = blockOf("ours");
    store(CF_TEXT, ours);
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("ours"));
    EXPECT_EQ(winapi::host::clipboardBytes(CF_DIB), std::nullopt);

    const DWORD sequence = GetClipboardSequenceNumber();
    ASSERT_TRUE(winapi::host::putClipboardBytes(CF_TEXT, std::string("theirs\0", 7)));
    EXPECT_NE(GetClipboardSequenceNumber(), sequence);
    EXPECT_FALSE(isLiveBlock(ours));
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT))), "theirs");
    GlobalUnlock(GetClipboardData(CF_TEXT));
    EXPECT_FALSE(winapi::host::putClipboardBytes(CF_TEXT, "late")) << "not while this program has it open";
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(winapi::host::putClipboardBytes(CF_BITMAP, "bits"));
}

TEST_F(Clipboard, ThreadsTakeTurns)
{
    constexpr int threads = 4;
    constexpr int rounds = 50;
    std::atomic<int> stored { 0 };
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&stored, t] {
            const std::string text = "thread " + std::to_string(t);
            for (int round = 0; round < rounds;) {
                if (!OpenClipboard(nullptr)) {
                    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
                    std::this_thread::yield();
                    continue;
                }
                EXPECT_TRUE(EmptyClipboard());
                const HGLOBAL block = blockOf(text);
                EXPECT_EQ(SetClipboardData(CF_TEXT, block), block);
                EXPECT_EQ(GetClipboardData(CF_TEXT), block) << "nobody else changes it while it is open here";
                EXPECT_TRUE(CloseClipboard());
                ++stored;
                ++round;
            }
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(stored.load(), threads * rounds);
    EXPECT_EQ(CountClipboardFormats(), 2);
}


// Owner windows: the recording class logs what reaches them, from any thread.
class ClipboardOwners : public testing_support::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        emptyClipboard();
        m_blocks = liveGlobalBlocks();
        m_class = testing_support::recordingClass();
    }
    void TearDown() override
    {
        CloseClipboard();
        emptyClipboard();
        WindowTest::TearDown();
        EXPECT_EQ(liveGlobalBlocks(), m_blocks);
    }
    HWND window() const
    {
        const HWND made = CreateWindowExA(
            0, m_class.c_str(), "owner", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
        EXPECT_NE(made, nullptr);
        return made;
    }
    static std::vector<HWND> told(UINT message)
    {
        std::vector<HWND> windows;
        for (const testing_support::Delivery& d : testing_support::log().of(message))
            windows.push_back(d.window);
        return windows;
    }

private:
    std::size_t m_blocks = 0;
    std::string m_class;
};

TEST_F(ClipboardOwners, OwnersHearWhenTheClipboardIsEmptied)
{
    const HWND first = window();
    const HWND second = window();
    ASSERT_TRUE(OpenClipboard(first));
    EXPECT_EQ(GetOpenClipboardWindow(), first);
    EXPECT_EQ(GetClipboardOwner(), nullptr) << "opening alone makes no owner";
    SetLastError(0);
    EXPECT_FALSE(OpenClipboard(second)) << "another window of the same thread";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), first);
    EXPECT_EQ(told(WM_DESTROYCLIPBOARD), std::vector<HWND> {}) << "there was no owner to tell";
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(GetClipboardOwner(), first) << "ownership outlasts the opening";

    struct Step {
        const char* what;
        std::function<void()> act;
        HWND told;
        HWND ownerAfter;
    };
    const std::vector<Step> steps {
        { "another window empties it",
            [second] {
                ASSERT_TRUE(OpenClipboard(second));
                ASSERT_TRUE(EmptyClipboard());
                ASSERT_TRUE(CloseClipboard());
            },
            first, second },
        { "the owner empties it again",
            [second] {
                ASSERT_TRUE(OpenClipboard(second));
                ASSERT_TRUE(EmptyClipboard());
                ASSERT_TRUE(CloseClipboard());
            },
            second, second },
        { "another program stores its data", [] { ASSERT_TRUE(winapi::host::putClipboardBytes(CF_TEXT, "x")); },
            second, nullptr },
    };
    for (const Step& step : steps) {
        testing_support::log().clear();
        step.act();
        EXPECT_EQ(told(WM_DESTROYCLIPBOARD), std::vector<HWND> { step.told }) << step.what;
        EXPECT_EQ(GetClipboardOwner(), step.ownerAfter) << step.what;
    }

    ASSERT_TRUE(OpenClipboard(first));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    ASSERT_TRUE(DestroyWindow(first));
    EXPECT_EQ(GetClipboardOwner(), nullptr) << "a destroyed owner is no owner";
    testing_support::log().clear();
    emptyClipboard();
    EXPECT_EQ(told(WM_DESTROYCLIPBOARD), std::vector<HWND> {});
    SetLastError(0);
    EXPECT_FALSE(OpenClipboard(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(ClipboardOwners, TheOwnerRendersOnRequest)
{
    testing_support::answer(WM_RENDERFORMAT, [](HWND, UINT, WPARAM format, LPARAM) -> LRESULT {
        if (format == CF_TEXT)
            SetClipboardData(CF_TEXT, blockOf(std::string("rendered\0", 9)));
        return 0;
    });
    const HWND owner = window();
    ASSERT_TRUE(OpenClipboard(owner));
    ASSERT_TRUE(EmptyClipboard());
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), 0U) << "a null result that is no failure";
    EXPECT_EQ(SetClipboardData(CF_DIB, nullptr), nullptr);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::nullopt) << "nothing rendered yet";
    ASSERT_TRUE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE wide = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(wide, nullptr) << "rendered, then converted";
    EXPECT_EQ(std::wstring(static_cast<const WCHAR*>(GlobalLock(wide))), L"rendered");
    GlobalUnlock(wide);
    EXPECT_NE(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_EQ(told(WM_RENDERFORMAT).size(), 1U) << "rendered once";
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetClipboardData(CF_DIB), nullptr) << "the owner did not render it";
    EXPECT_EQ(GetLastError(), 0U);
    ASSERT_TRUE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(owner));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(CF_DIB, nullptr), nullptr);
    ASSERT_TRUE(CloseClipboard());
    ASSERT_TRUE(DestroyWindow(owner));
    testing_support::log().clear();
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_DIB), nullptr) << "no owner is left to render it";
    EXPECT_EQ(told(WM_RENDERFORMAT), std::vector<HWND> {});
    ASSERT_TRUE(CloseClipboard());
}

TEST_F(ClipboardOwners, AnOwnerOnAnotherThreadRendersAndHears)
{
    std::atomic<DWORD> renderedOpen { 0 };
    testing_support::answer(WM_RENDERFORMAT, [&renderedOpen](HWND owner, UINT, WPARAM format, LPARAM) -> LRESULT {
        SetLastError(0);
        if (!OpenClipboard(owner))
            renderedOpen = GetLastError();
        SetClipboardData(static_cast<UINT>(format), blockOf(std::string("remote\0", 7)));
        return 0;
    });
    std::promise<DWORD> ready;
    std::thread ownerThread([this, &ready] {
        const HWND owner = window();
        ASSERT_TRUE(OpenClipboard(owner));
        ASSERT_TRUE(EmptyClipboard());
        SetClipboardData(CF_TEXT, nullptr);
        ASSERT_TRUE(CloseClipboard());
        ready.set_value(GetCurrentThreadId());
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        const HGLOBAL late = blockOf("late");
        SetLastError(0);
        EXPECT_EQ(SetClipboardData(CF_DIB, late), nullptr) << "outside a request it must open first";
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
        GlobalFree(late);
        DestroyWindow(owner);
    });
    const DWORD ownerId = ready.get_future().get();
    // However the checks below end, the owner's thread is told to quit.
    struct Quit {
        DWORD thread;
        std::thread& running;
        ~Quit()
        {
            PostThreadMessageA(thread, WM_QUIT, 0, 0);
            running.join();
        }
    } quit { ownerId, ownerThread };

    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE text = GetClipboardData(CF_TEXT);
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("remote\0", 7));
    EXPECT_NE(text, nullptr);
    EXPECT_EQ(renderedOpen.load(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "the requester holds it open";
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(CloseClipboard());
    const std::vector<testing_support::Delivery> emptied = testing_support::log().of(WM_DESTROYCLIPBOARD);
    ASSERT_EQ(emptied.size(), 1U);
    EXPECT_EQ(emptied.front().thread, ownerId) << "carried out on the owner's thread";
    EXPECT_EQ(testing_support::log().of(WM_RENDERFORMAT).front().thread, ownerId);
}

}
