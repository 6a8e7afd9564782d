// Focus and activation: the messages of switching between windows, the
// focus that follows activation, enabling and disabling, activation by a
// click, the foreground across threads, the capture and the caret.
#include "WindowTesting.h"

#include <future>
#include <thread>

using namespace testing_support;
namespace host = winapi::host;

namespace {

struct Step {
    HWND window;
    UINT message;
    WPARAM low; // the low word of wParam
    bool operator==(const Step&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Step& s)
{
    return out << s.window << ":" << std::hex << s.message << "(" << s.low << ")" << std::dec;
}

std::vector<Step> steps(const std::vector<UINT>& wanted)
{
    std::vector<Step> result;
    for (const Delivery& d : log().entries()) {
        if (std::find(wanted.begin(), wanted.end(), d.message) != wanted.end())
            result.push_back({ d.window, d.message,
                d.message == WM_ACTIVATE || d.message == WM_NCACTIVATE ? WPARAM { LOWORD(d.wParam) } : WPARAM { 0 } });
    }
    return result;
}

const std::vector<UINT> activationMessages { WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS };

class Focus : public WindowTest {
protected:
    HWND make(DWORD style, HWND parent = nullptr, int x = 10)
    {
        if (m_class.empty())
            m_class = recordingClass(CS_DBLCLKS);
        return CreateWindowExA(0, m_class.c_str(), "f", style, x, 10, 200, 150, parent, nullptr, nullptr, nullptr);
    }
    std::string m_class;
};

TEST_F(Focus, SwitchingBetweenWindowsInThePlatformsOrder)
{
    HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND b = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 300);
    EXPECT_EQ(GetActiveWindow(), b) << "a shown window is activated";
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetForegroundWindow(), b);

    log().clear();
    EXPECT_EQ(SetActiveWindow(a), b);
    EXPECT_EQ(steps(activationMessages),
        (std::vector<Step> { { b, WM_NCACTIVATE, FALSE }, { b, WM_ACTIVATE, WA_INACTIVE }, { a, WM_NCACTIVATE, TRUE },
            { a, WM_ACTIVATE, WA_ACTIVE }, { b, WM_KILLFOCUS, 0 }, { a, WM_SETFOCUS, 0 } }));
    const auto activations = log().of(WM_ACTIVATE);
    EXPECT_EQ(reinterpret_cast<HWND>(activations[0].lParam), a);
    EXPECT_EQ(reinterpret_cast<HWND>(activations[1].lParam), b);
    EXPECT_EQ(reinterpret_cast<HWND>(log().of(WM_KILLFOCUS)[0].wParam), a);
    EXPECT_EQ(reinterpret_cast<HWND>(log().of(WM_SETFOCUS)[0].wParam), b);

    // A window that keeps the focus from itself is active without it.
    answer(WM_ACTIVATE, [](HWND, UINT, WPARAM, LPARAM) { return LRESULT { 0 }; });
    SetActiveWindow(b);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), nullptr);
    answer(WM_ACTIVATE, nullptr);

    // Destroying the active window activates another.
    DestroyWindow(b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);
}

TEST_F(Focus, OwnedWindowsStayAboveTheirOwner)
{
    HWND owner = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND owned = make(WS_POPUP | WS_CAPTION | WS_VISIBLE, owner, 50);
    HWND other = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 100);
    ASSERT_EQ(GetActiveWindow(), other);
    SetActiveWindow(owner);
    EXPECT_EQ(GetActiveWindow(), owner);
    RECT r;
    GetWindowRect(owned, &r);
    const POINT inside { r.left + 20, r.top + 20 };
    EXPECT_EQ(WindowFromPoint(inside), owned) << "raised with its owner";
    EXPECT_EQ(GetWindow(owner, GW_HWNDPREV), owned);
}

TEST_F(Focus, FocusOnAChildActivatesItsWindow)
{
    HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = make(WS_CHILD | WS_VISIBLE, a);
    HWND b = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 300);
    ASSERT_EQ(GetActiveWindow(), b);
    log().clear();
    EXPECT_EQ(SetFocus(child), b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), child);
    const auto setFocus = log().of(WM_SETFOCUS);
    ASSERT_FALSE(setFocus.empty());
    EXPECT_EQ(setFocus.back().window, child);
    log().clear();
    EXPECT_EQ(SetFocus(child), child);
    EXPECT_TRUE(log().entries().empty()) << "no messages when nothing changes";
    EXPECT_EQ(SetFocus(nullptr), child);
    EXPECT_EQ(steps(activationMessages), (std::vector<Step> { { child, WM_KILLFOCUS, 0 } }));
    EXPECT_EQ(GetFocus(), nullptr);

    // The focus inside a hidden or destroyed child moves to its parent.
    SetFocus(child);
    ShowWindow(child, SW_HIDE);
    EXPECT_EQ(GetFocus(), a);
    ShowWindow(child, SW_SHOW);
    SetFocus(child);
    DestroyWindow(child);
    EXPECT_EQ(GetFocus(), a);
}

TEST_F(Focus, EnablingAndDisabling)
{
    HWND top = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = make(WS_CHILD | WS_VISIBLE, top);
    SetFocus(child);
    log().clear();
    EXPECT_FALSE(EnableWindow(child, FALSE)) << "it was enabled";
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window loses the focus";
    const auto enables = log().of(WM_ENABLE);
    ASSERT_EQ(enables.size(), 1U);
    EXPECT_EQ(enables[0].wParam, static_cast<WPARAM>(FALSE));
    EXPECT_TRUE(EnableWindow(child, FALSE)) << "it was disabled";
    EXPECT_EQ(log().of(WM_ENABLE).size(), 1U) << "no change, no message";
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window takes no focus";
    EXPECT_TRUE(EnableWindow(child, TRUE));
    EXPECT_TRUE(IsWindowEnabled(child));
    EXPECT_EQ(log().of(WM_ENABLE).size(), 2U);
    {
        host::ScopedFailure failure("EnableWindow", 1, ERROR_ACCESS_DENIED);
        EXPECT_FALSE(EnableWindow(child, FALSE));
    }
    EXPECT_TRUE(IsWindowEnabled(child));
}

TEST_F(Focus, AClickActivatesAndMayBeEaten)
{
    HWND a = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = make(WS_CHILD | WS_VISIBLE, a);
    HWND b = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 400);
    host::pumpMessages();
    struct Case {
        LRESULT answer;
        bool activates;
        bool delivered;
    };
    const Case cases[] = {
        { MA_ACTIVATE, true, true },
        { MA_NOACTIVATE, false, true },
        { MA_ACTIVATEANDEAT, true, false },
        { MA_NOACTIVATEANDEAT, false, false },
    };
    int x = 5;
    for (const Case& c : cases) {
        SetActiveWindow(b);
        host::pumpMessages();
        answer(WM_MOUSEACTIVATE, [&](HWND, UINT, WPARAM, LPARAM) { return c.answer; });
        log().clear();
        // Each click somewhere else, so that none makes a double click.
        host::clickClient(child, x += 20, 5);
        host::pumpMessages();
        EXPECT_EQ(GetActiveWindow() == a, c.activates) << c.answer;
        EXPECT_EQ(log().of(WM_LBUTTONDOWN).size(), c.delivered ? 1U : 0U) << c.answer;
        EXPECT_TRUE(log().of(WM_LBUTTONDBLCLK).empty()) << c.answer;
        if (c.activates) {
            const auto activations = log().of(WM_ACTIVATE);
            ASSERT_FALSE(activations.empty());
            EXPECT_EQ(LOWORD(activations.back().wParam), WA_CLICKACTIVE) << c.answer;
        }
        const auto asked = log().of(WM_MOUSEACTIVATE);
        ASSERT_FALSE(asked.empty()) << c.answer;
        EXPECT_EQ(reinterpret_cast<HWND>(asked.front().wParam), a);
        EXPECT_EQ(LOWORD(asked.front().lParam), HTCLIENT);
        EXPECT_EQ(HIWORD(asked.front().lParam), WM_LBUTTONDOWN);
    }
    answer(WM_MOUSEACTIVATE, nullptr);

    // The client message carries client coordinates; a quick second press
    // on a window whose class asks for it is a double click.
    log().clear();
    host::clickClient(child, 7, 9);
    host::clickClient(child, 7, 9);
    host::pumpMessages();
    const auto downs = log().of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1U);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 7);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 9);
    EXPECT_EQ(downs[0].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(log().of(WM_LBUTTONDBLCLK).size(), 1U);

    // A disabled window hears nothing of a click; its parent gets it.
    EnableWindow(child, FALSE);
    log().clear();
    host::clickClient(child, 7, 9);
    host::pumpMessages();
    const auto parentDowns = log().of(WM_LBUTTONDOWN);
    ASSERT_EQ(parentDowns.size(), 1U);
    EXPECT_EQ(parentDowns[0].window, a);
}

TEST_F(Focus, TheCaptureTakesTheMouse)
{
    HWND a = make(WS_POPUP | WS_VISIBLE);
    HWND b = make(WS_POPUP | WS_VISIBLE, nullptr, 400);
    host::pumpMessages();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    log().clear();
    host::clickClient(b, 10, 10);
    host::pumpMessages();
    const auto downs = log().of(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1U);
    EXPECT_EQ(downs[0].window, a);
    POINT expected { 10, 10 };
    ClientToScreen(b, &expected);
    ScreenToClient(a, &expected);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), expected.x) << "in the capturing window's coordinates";
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    const auto changes = log().of(WM_CAPTURECHANGED);
    ASSERT_EQ(changes.size(), 1U);
    EXPECT_EQ(changes[0].window, a);
}

TEST_F(Focus, TheForegroundMovesBetweenThreads)
{
    HWND mine = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    host::pumpMessages();
    ASSERT_EQ(GetForegroundWindow(), mine);
    const std::string name = m_class;
    std::promise<HWND> created;
    std::promise<void> finish;
    std::thread other([&] {
        HWND window = CreateWindowExA(0, name.c_str(), "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 10, 100, 100,
            nullptr, nullptr, nullptr, nullptr);
        // Shown while another thread has the foreground: active in its
        // thread, but the foreground stays.
        const bool stayed = GetForegroundWindow() == mine;
        SetForegroundWindow(window);
        created.set_value(stayed ? window : nullptr);
        auto done = finish.get_future();
        while (done.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
            host::pumpMessages();
    });
    HWND theirs = created.get_future().get();
    ASSERT_NE(theirs, nullptr);
    EXPECT_EQ(GetForegroundWindow(), theirs);
    EXPECT_EQ(GetActiveWindow(), mine) << "activation is per thread";
    host::pumpMessages();
    const auto apps = log().of(WM_ACTIVATEAPP);
    bool lost = false;
    bool gained = false;
    for (const Delivery& d : apps) {
        lost = lost || (d.window == mine && d.wParam == FALSE);
        gained = gained || (d.window == theirs && d.wParam == TRUE);
    }
    EXPECT_TRUE(lost);
    EXPECT_TRUE(gained);

    // Keys go to the foreground thread.
    log().clear();
    host::pressKey('K');
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    host::pumpMessages();
    finish.set_value();
    other.join();
    const auto keys = log().of(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1U);
    EXPECT_EQ(keys[0].window, theirs);
    EXPECT_NE(keys[0].thread, GetCurrentThreadId());
}

TEST_F(Focus, TheCaret)
{
    HWND window = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND other = make(WS_POPUP);
    EXPECT_EQ(host::caret().owner, nullptr);
    EXPECT_FALSE(ShowCaret(window)) << "no caret yet";
    ASSERT_TRUE(CreateCaret(window, nullptr, 2, 14));
    struct Case {
        const char* what;
        std::function<BOOL()> call;
        BOOL result;
        bool visible;
    };
    const Case cases[] = {
        { "made hidden", [] { return TRUE; }, TRUE, false },
        { "shown", [&] { return ShowCaret(window); }, TRUE, true },
        { "hidden once", [&] { return HideCaret(window); }, TRUE, false },
        { "hidden twice", [&] { return HideCaret(nullptr); }, TRUE, false },
        { "shown once of two", [&] { return ShowCaret(window); }, TRUE, false },
        { "shown again", [&] { return ShowCaret(nullptr); }, TRUE, true },
        { "not the owner", [&] { return HideCaret(other); }, FALSE, true },
        { "moved", [] { return SetCaretPos(30, 4); }, TRUE, true },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.call(), c.result) << c.what;
        EXPECT_EQ(host::caret().visible, c.visible) << c.what;
    }
    POINT position {};
    EXPECT_TRUE(GetCaretPos(&position));
    EXPECT_EQ(position.x, 30);
    EXPECT_EQ(host::caret().size.cy, 14);
    // Painting hides the caret for its duration.
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EXPECT_FALSE(host::caret().visible);
    EndPaint(window, &paint);
    EXPECT_TRUE(host::caret().visible);
    EXPECT_TRUE(DestroyCaret());
    EXPECT_EQ(host::caret().owner, nullptr);
    EXPECT_FALSE(DestroyCaret());
    // A window's caret ends with the window.
    CreateCaret(window, nullptr, 0, 0);
    EXPECT_EQ(host::caret().size.cx, GetSystemMetrics(SM_CXBORDER));
    DestroyWindow(window);
    EXPECT_EQ(host::caret().owner, nullptr);
}

}
