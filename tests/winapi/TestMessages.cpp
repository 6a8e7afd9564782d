// Message queues: the order in which messages come, filters, the quit
// message, paints, characters from keys, the keyboard state, and messages
// and window calls across threads (no deadlock, the owner thread carries
// them out, timeouts, replies, threads that end).
#include "WindowTesting.h"

#include <atomic>
#include <future>
#include <thread>

using namespace testing_support;
namespace host = winapi::host;

namespace {

class Messages : public WindowTest {
protected:
    HWND makeWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE)
    {
        if (m_class.empty())
            m_class = recordingClass();
        return CreateWindowExA(0, m_class.c_str(), "w", style, 50, 50, 200, 150, nullptr, nullptr, nullptr, nullptr);
    }
    std::string m_class;
};

void drain()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST_F(Messages, PostedMessagesComeInOrderAndFiltersChooseAmongThem)
{
    HWND first = makeWindow(WS_POPUP);
    HWND second = makeWindow(WS_POPUP);
    drain();
    PostMessageA(first, WM_USER + 1, 1, 0);
    PostMessageA(first, WM_USER + 2, 2, 0);
    PostMessageA(second, WM_USER + 3, 3, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 4, 0);

    struct Case {
        const char* what;
        HWND filter;
        UINT low;
        UINT high;
        UINT flags;
        UINT expected; // 0: nothing
    };
    const Case cases[] = {
        { "by window", second, 0, 0, PM_REMOVE, WM_USER + 3 },
        { "by range", nullptr, WM_USER + 2, WM_USER + 2, PM_NOREMOVE, WM_USER + 2 },
        { "still there", nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE, WM_USER + 2 },
        { "thread messages only", reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE, WM_USER + 4 },
        { "range without a match", nullptr, WM_USER + 10, WM_USER + 20, PM_REMOVE, 0 },
        { "the rest in order", nullptr, 0, 0, PM_REMOVE, WM_USER + 1 },
        { "empty", nullptr, 0, 0, PM_REMOVE, 0 },
    };
    for (const Case& c : cases) {
        MSG message {};
        const BOOL got = PeekMessageA(&message, c.filter, c.low, c.high, c.flags);
        EXPECT_EQ(got != FALSE, c.expected != 0) << c.what;
        if (got) {
            EXPECT_EQ(message.message, c.expected) << c.what;
        }
        if (got && (c.flags & PM_REMOVE)) {
            EXPECT_EQ(static_cast<DWORD>(GetMessageTime()), message.time) << c.what;
            EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(message.pt.x, message.pt.y))) << c.what;
        }
    }
}

TEST_F(Messages, TheQuitMessageComesAfterThePostedOnesWhateverTheFilter)
{
    HWND window = makeWindow(WS_POPUP);
    drain();
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(7);
    PostMessageA(window, WM_USER + 1, 0, 0);
    MSG message;
    EXPECT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
    EXPECT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(GetMessageA(&message, window, WM_KEYFIRST, WM_KEYLAST), FALSE);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7U);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "the quit message is taken once";

    SetLastError(0);
    HWND gone = makeWindow(WS_POPUP);
    DestroyWindow(gone);
    EXPECT_EQ(GetMessageA(&message, gone, 0, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Messages, PaintsComeWhenNothingElseWaits)
{
    HWND window = makeWindow();
    host::pumpMessages();
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) << "painted once shown";

    const RECT area { 5, 5, 20, 20 };
    InvalidateRect(window, &area, TRUE);
    RECT update {};
    EXPECT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &area));
    PostMessageA(window, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "a paint stays until it is painted";
    EXPECT_EQ(message.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&message);
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));

    InvalidateRect(window, nullptr, TRUE);
    ValidateRect(window, nullptr);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));

    ShowWindow(window, SW_HIDE);
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE)) << "a hidden window has nothing to paint";

    ShowWindow(window, SW_SHOW);
    log().clear();
    EXPECT_TRUE(UpdateWindow(window));
    EXPECT_EQ(log().of(WM_PAINT).size(), 1U);
    EXPECT_EQ(log().of(WM_ERASEBKGND).size(), 1U);
}

VOID CALLBACK countTick(HWND, UINT, UINT_PTR, DWORD)
{
    log().add({ nullptr, WM_TIMER, 0xBEEF, 0, GetCurrentThreadId() });
}

TEST_F(Messages, TimersComeDueAfterTheirInterval)
{
    HWND window = makeWindow(WS_POPUP);
    drain();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SetTimer(window, 7, 30, nullptr), 7U);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) << "not due yet";
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.wParam, 7U);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) << "the next interval starts";
    EXPECT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));

    // A procedure of its own is called by the dispatch, and a timer of the
    // thread gets its own identifier.
    const UINT_PTR id = SetTimer(nullptr, 0, 10, countTick);
    EXPECT_NE(id, 0U);
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.hwnd, nullptr);
    EXPECT_EQ(message.wParam, id);
    log().clear();
    DispatchMessageA(&message);
    ASSERT_EQ(log().of(WM_TIMER).size(), 1U);
    EXPECT_EQ(log().of(WM_TIMER)[0].wParam, 0xBEEFU);
    KillTimer(nullptr, id);

    SetTimer(window, 8, 10, nullptr);
    DestroyWindow(window);
    EXPECT_FALSE(KillTimer(window, 8)) << "a window's timers end with it";
    SetLastError(0);
    EXPECT_EQ(SetTimer(window, 9, 10, nullptr), 0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Messages, KeysBecomeCharactersThroughTheKeyboardState)
{
    HWND window = makeWindow();
    host::pumpMessages();
    ASSERT_EQ(GetFocus(), window);
    struct Case {
        std::vector<UINT> held;
        UINT key;
        UINT message;
        WPARAM character;
    };
    const Case cases[] = {
        { {}, 'A', WM_CHAR, 'a' },
        { { VK_SHIFT }, 'A', WM_CHAR, 'A' },
        { { VK_CONTROL }, 'C', WM_CHAR, 3 },
        { { VK_SHIFT }, '1', WM_CHAR, '!' },
        { {}, VK_OEM_2, WM_CHAR, '/' },
        { { VK_SHIFT }, VK_OEM_2, WM_CHAR, '?' },
        { {}, VK_RETURN, WM_CHAR, '\r' },
        { {}, VK_ESCAPE, WM_CHAR, 27 },
        { {}, VK_NUMPAD7, WM_CHAR, '7' },
        { { VK_MENU }, 'F', WM_SYSCHAR, 'f' },
        { {}, VK_F5, 0, 0 },
        { { VK_CONTROL, VK_MENU }, 'Q', 0, 0 },
    };
    for (const Case& c : cases) {
        log().clear();
        for (UINT key : c.held)
            host::keyDown(key);
        host::pressKey(c.key);
        for (UINT key : c.held)
            host::keyUp(key);
        host::pumpMessages();
        std::vector<std::pair<UINT, WPARAM>> characters;
        for (const Delivery& d : log().entries()) {
            if (d.message == WM_CHAR || d.message == WM_SYSCHAR)
                characters.emplace_back(d.message, d.wParam);
        }
        const std::vector<std::pair<UINT, WPARAM>> expected
            = c.message ? std::vector<std::pair<UINT, WPARAM>> { { c.message, c.character } }
                        : std::vector<std::pair<UINT, WPARAM>> {};
        EXPECT_EQ(characters, expected) << c.key;
    }

    log().clear();
    host::typeText("Hi 5\xD7");
    host::pumpMessages();
    std::string typed;
    for (const Delivery& d : log().of(WM_CHAR))
        typed += static_cast<char>(d.wParam);
    EXPECT_EQ(typed, "Hi 5\xD7");
}

TEST_F(Messages, TheKeyboardStateFollowsTheMessagesRead)
{
    HWND window = makeWindow();
    host::pumpMessages();
    host::keyDown(VK_SHIFT);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "not read yet";
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "looking is not reading";
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(VK_SHIFT));
    EXPECT_EQ((message.lParam >> 16) & 0xFF, 0x2A) << "the key's scan code";
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
    host::keyUp(VK_SHIFT);
    host::pumpMessages();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    host::pressKey(VK_CAPITAL);
    host::pumpMessages();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1) << "a press toggles";
    host::pressKey(VK_CAPITAL);
    host::pumpMessages();
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
}

TEST_F(Messages, TwoThreadsSendingToEachOtherNeverWaitForGood)
{
    constexpr WPARAM rounds = 1500;
    HWND mine = makeWindow(WS_POPUP);
    // Doubles the number; the nested form asks the sender's window first.
    answer(WM_USER + 10, [](HWND, UINT, WPARAM w, LPARAM) { return static_cast<LRESULT>(w * 2); });
    answer(WM_USER + 11, [](HWND, UINT, WPARAM w, LPARAM l) {
        return SendMessageA(reinterpret_cast<HWND>(l), WM_USER + 10, w, 0) + 1;
    });
    const DWORD mainThread = GetCurrentThreadId();
    std::promise<HWND> theirs;
    std::atomic<bool> wrong { false };
    std::thread other([&] {
        HWND window = CreateWindowExA(0, m_class.c_str(), "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
            nullptr);
        theirs.set_value(window);
        for (WPARAM i = 0; i < rounds; ++i) {
            if (SendMessageA(mine, WM_USER + 11, i, reinterpret_cast<LPARAM>(window)) != static_cast<LRESULT>(2 * i + 1))
                wrong = true;
        }
        PostThreadMessageA(mainThread, WM_USER + 99, 0, 0);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
    });
    HWND window = theirs.get_future().get();
    for (WPARAM i = 0; i < rounds; ++i)
        EXPECT_EQ(SendMessageA(window, WM_USER + 11, i, reinterpret_cast<LPARAM>(mine)), static_cast<LRESULT>(2 * i + 1));
    // Answer the other thread until it is through.
    for (bool through = false; !through;) {
        WaitMessage();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            through = through || message.message == WM_USER + 99;
    }
    PostThreadMessageA(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
    other.join();
    EXPECT_FALSE(wrong);
    EXPECT_FALSE(IsWindow(window)) << "a thread's windows end with it";
    size_t foreign = 0;
    for (const Delivery& d : log().of(WM_USER + 11))
        foreign += d.window == window ? 1 : 0;
    EXPECT_EQ(foreign, rounds);
}

TEST_F(Messages, WindowCallsFromAnotherThreadAreCarriedOutByTheOwner)
{
    struct Case {
        const char* what;
        UINT heard;
        std::function<void(HWND)> call;
    };
    const Case cases[] = {
        { "ShowWindow", WM_SHOWWINDOW, [](HWND w) { ShowWindow(w, SW_HIDE); } },
        { "MoveWindow", WM_WINDOWPOSCHANGED, [](HWND w) { MoveWindow(w, 1, 2, 30, 40, TRUE); } },
        { "SetWindowPos", WM_WINDOWPOSCHANGING, [](HWND w) { SetWindowPos(w, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER); } },
        { "SetWindowTextA", WM_SETTEXT, [](HWND w) { SetWindowTextA(w, "from afar"); } },
        { "EnableWindow", WM_ENABLE, [](HWND w) { EnableWindow(w, FALSE); } },
        { "DestroyWindow", WM_DESTROY, [](HWND w) { DestroyWindow(w); } },
    };
    const DWORD me = GetCurrentThreadId();
    for (const Case& c : cases) {
        HWND window = makeWindow();
        host::pumpMessages();
        log().clear();
        std::atomic<bool> done { false };
        std::thread worker([&] {
            c.call(window);
            done = true;
            PostThreadMessageA(me, WM_NULL, 0, 0);
        });
        while (!done) {
            WaitMessage();
            host::pumpMessages();
        }
        worker.join();
        const auto heard = log().of(c.heard);
        ASSERT_FALSE(heard.empty()) << c.what;
        for (const Delivery& d : heard)
            EXPECT_EQ(d.thread, me) << c.what;
        DestroyWindow(window);
    }
}

TEST_F(Messages, ASendToAThreadThatDoesNotListenTimesOut)
{
    const std::string name = recordingClass();
    std::promise<HWND> created;
    std::promise<void> release;
    std::thread deaf([&] {
        HWND window = CreateWindowExA(0, name.c_str(), "deaf", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
            nullptr);
        created.set_value(window);
        release.get_future().wait();
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    });
    HWND window = created.get_future().get();
    DWORD_PTR result = 99;
    SetLastError(0);
    EXPECT_EQ(SendMessageTimeoutA(window, WM_USER + 5, 0, 0, SMTO_NORMAL, 30, &result), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(result, 99U);
    release.set_value();
    deaf.join();
    EXPECT_EQ(log().of(WM_USER + 5).size(), 1U) << "an abandoned message is still delivered";

    answer(WM_USER + 6, [](HWND, UINT, WPARAM, LPARAM) { return LRESULT { 31 }; });
    HWND local = CreateWindowExA(0, name.c_str(), "local", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(SendMessageTimeoutA(local, WM_USER + 6, 0, 0, SMTO_NORMAL, 10, &result), 1);
    EXPECT_EQ(result, 31U);
}

TEST_F(Messages, RepliesAndTheSendersThread)
{
    HWND window = makeWindow(WS_POPUP);
    std::atomic<bool> inSend { false };
    std::atomic<bool> finished { false };
    std::atomic<DWORD> kind { 0xFFFF };
    answer(WM_USER + 7, [&](HWND, UINT, WPARAM, LPARAM) {
        inSend = InSendMessage() != FALSE;
        ReplyMessage(42);
        kind = InSendMessageEx(nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        finished = true;
        return LRESULT { 7 };
    });
    EXPECT_EQ(SendMessageA(window, WM_USER + 7, 0, 0), 7) << "a reply within the thread changes nothing";
    EXPECT_FALSE(inSend);
    EXPECT_EQ(kind, static_cast<DWORD>(ISMEX_NOSEND));

    finished = false;
    const DWORD me = GetCurrentThreadId();
    std::atomic<LRESULT> got { 0 };
    std::atomic<bool> replyBeforeEnd { false };
    std::thread sender([&] {
        got = SendMessageA(window, WM_USER + 7, 0, 0);
        replyBeforeEnd = !finished;
        PostThreadMessageA(me, WM_NULL, 0, 0);
    });
    while (got == 0) {
        WaitMessage();
        host::pumpMessages();
    }
    sender.join();
    EXPECT_EQ(got, 42);
    EXPECT_TRUE(inSend);
    EXPECT_EQ(kind, static_cast<DWORD>(ISMEX_SEND | ISMEX_REPLIED));
    EXPECT_TRUE(replyBeforeEnd);
}

TEST_F(Messages, ASendToAThreadThatEndsReturns)
{
    const std::string name = recordingClass();
    std::promise<HWND> created;
    std::thread leaving([&] {
        HWND window = CreateWindowExA(0, name.c_str(), "leaving", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
            nullptr);
        created.set_value(window);
        // Leave once a message is waiting, without answering it.
        while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE))
            std::this_thread::yield();
    });
    HWND window = created.get_future().get();
    EXPECT_EQ(SendMessageA(window, WM_USER + 8, 0, 0), 0);
    leaving.join();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Messages, TheQueueHoldsABoundedNumberOfMessages)
{
    HWND window = makeWindow(WS_POPUP);
    drain();
    int posted = 0;
    while (PostMessageA(window, WM_USER, 0, 0) && posted < 20000)
        ++posted;
    EXPECT_EQ(posted, 10000);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    drain();
    EXPECT_TRUE(PostMessageA(window, WM_USER, 0, 0));
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageA(0x7FFFFFF0, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
    {
        host::ScopedFailure failure("PostMessageA", 1, ERROR_NOT_ENOUGH_QUOTA);
        EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    }
}

}
