// Window geometry: frames and client areas, coordinate mapping and its
// return values, positions and sizes with their messages, the minimised
// and maximised states, and the window under a point.
#include "WindowTesting.h"

using namespace testing_support;
namespace host = winapi::host;

namespace {

class Geometry : public WindowTest {
protected:
    HWND make(DWORD style, int x, int y, int cx, int cy, HWND parent = nullptr, DWORD exStyle = 0)
    {
        if (m_class.empty())
            m_class = recordingClass();
        return CreateWindowExA(exStyle, m_class.c_str(), "g", style, x, y, cx, cy, parent, nullptr, nullptr, nullptr);
    }
    std::string m_class;
};

RECT windowRect(HWND window)
{
    RECT r {};
    GetWindowRect(window, &r);
    return r;
}

RECT clientRect(HWND window)
{
    RECT r {};
    GetClientRect(window, &r);
    return r;
}

TEST_F(Geometry, TheClientAreaIsWhatTheFrameLeaves)
{
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const int dialogFrame = GetSystemMetrics(SM_CXDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const int menu = GetSystemMetrics(SM_CYMENU);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    struct Case {
        const char* what;
        DWORD style;
        DWORD exStyle;
        bool menu;
        RECT insets; // left, top, right, bottom
    };
    const Case cases[] = {
        { "sizing frame and caption", WS_OVERLAPPEDWINDOW, 0, false, { frame, frame + caption, frame, frame } },
        { "with a menu bar", WS_OVERLAPPEDWINDOW, 0, true, { frame, frame + caption + menu, frame, frame } },
        { "dialog frame", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, false,
            { dialogFrame, dialogFrame + caption, dialogFrame, dialogFrame } },
        { "thin border", WS_POPUP | WS_BORDER, 0, false, { 1, 1, 1, 1 } },
        { "sunken edge", WS_POPUP, WS_EX_CLIENTEDGE, false, { edge, edge, edge, edge } },
        { "bare", WS_POPUP, 0, false, { 0, 0, 0, 0 } },
    };
    for (const Case& c : cases) {
        RECT adjusted { 100, 100, 300, 250 };
        ASSERT_TRUE(AdjustWindowRectEx(&adjusted, c.style, c.menu, c.exStyle)) << c.what;
        EXPECT_EQ(adjusted.left, 100 - c.insets.left) << c.what;
        EXPECT_EQ(adjusted.top, 100 - c.insets.top) << c.what;
        EXPECT_EQ(adjusted.right, 300 + c.insets.right) << c.what;
        EXPECT_EQ(adjusted.bottom, 250 + c.insets.bottom) << c.what;

        HWND window = make(c.style, adjusted.left, adjusted.top, adjusted.right - adjusted.left,
            adjusted.bottom - adjusted.top, nullptr, c.exStyle);
        ASSERT_NE(window, nullptr) << c.what;
        if (c.menu) {
            HMENU bar = CreateMenu();
            AppendMenuA(bar, MF_STRING, 1, "&File");
            ASSERT_TRUE(SetMenu(window, bar));
        }
        const RECT client = clientRect(window);
        EXPECT_EQ(client.right, 200) << c.what;
        EXPECT_EQ(client.bottom, 150) << c.what;
        POINT corner { 0, 0 };
        ClientToScreen(window, &corner);
        EXPECT_EQ(corner.x, 100) << c.what;
        EXPECT_EQ(corner.y, 100) << c.what;
        DestroyWindow(window);
    }
}

TEST_F(Geometry, MappingPointsBetweenWindows)
{
    HWND top = make(WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 50, 400, 300);
    HWND child = make(WS_CHILD | WS_VISIBLE, 10, 20, 100, 100, top);
    HWND atOrigin = make(WS_POPUP, 0, 0, 50, 50);
    struct Case {
        const char* what;
        HWND from;
        HWND to;
        int dx;
        int dy;
    };
    const Case cases[] = {
        { "child to screen", child, nullptr, 111, 71 },
        { "screen to child", nullptr, child, -111, -71 },
        { "child to parent", child, top, 10, 20 },
        { "parent to child", top, child, -10, -20 },
        { "same window", top, top, 0, 0 },
        { "zero offset", atOrigin, nullptr, 0, 0 },
    };
    for (const Case& c : cases) {
        POINT points[2] = { { 1, 2 }, { 30, 40 } };
        SetLastError(12345);
        const int result = MapWindowPoints(c.from, c.to, points, 2);
        EXPECT_EQ(static_cast<short>(LOWORD(result)), c.dx) << c.what;
        EXPECT_EQ(static_cast<short>(HIWORD(result)), c.dy) << c.what;
        EXPECT_EQ(GetLastError(), 0U) << "cleared, so a zero result can be told from a failure: " << c.what;
        EXPECT_EQ(points[0].x, 1 + c.dx) << c.what;
        EXPECT_EQ(points[1].y, 40 + c.dy) << c.what;
    }
    // Round trips through the screen and back.
    POINT point { 7, 9 };
    ClientToScreen(child, &point);
    ScreenToClient(top, &point);
    EXPECT_EQ(point.x, 17);
    EXPECT_EQ(point.y, 29);
    RECT rect { 0, 0, 100, 100 };
    MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const RECT childOnScreen = windowRect(child);
    EXPECT_TRUE(EqualRect(&rect, &childOnScreen));

    DestroyWindow(child);
    SetLastError(0);
    EXPECT_EQ(MapWindowPoints(child, nullptr, &point, 1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    {
        host::ScopedFailure failure("MapWindowPoints", 1, ERROR_ACCESS_DENIED);
        EXPECT_EQ(MapWindowPoints(top, nullptr, &point, 1), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
}

TEST_F(Geometry, SetWindowPosSendsWhatTheChangeCalledFor)
{
    HWND top = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200);
    const std::vector<UINT> watched { WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE };
    struct Case {
        const char* what;
        int x, y, cx, cy;
        UINT flags;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        { "nothing", 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER, { WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED } },
        { "move", 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER, { WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE } },
        { "size", 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER,
            { WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE } },
        { "frame", 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED,
            { WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED } },
        { "unannounced", 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING,
            { WM_WINDOWPOSCHANGED, WM_MOVE } },
    };
    for (const Case& c : cases) {
        log().clear();
        ASSERT_TRUE(SetWindowPos(top, nullptr, c.x, c.y, c.cx, c.cy, c.flags)) << c.what;
        std::vector<UINT> heard;
        for (const auto& [window, message] : log().sequence(watched)) {
            if (window == top)
                heard.push_back(message);
        }
        EXPECT_EQ(heard, c.expected) << c.what;
    }
    EXPECT_EQ(windowRect(top).left, 60);
    EXPECT_EQ(windowRect(top).right - windowRect(top).left, 320);

    // A window may change the position it is about to take.
    answer(WM_WINDOWPOSCHANGING, [](HWND, UINT, WPARAM, LPARAM l) {
        reinterpret_cast<WINDOWPOS*>(l)->x = 5;
        return LRESULT { 0 };
    });
    SetWindowPos(top, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(windowRect(top).left, 5);
    answer(WM_WINDOWPOSCHANGING, nullptr);

    HWND child = make(WS_CHILD, 0, 0, 20, 20, top);
    EXPECT_FALSE(IsWindowVisible(child));
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_TRUE(IsWindowVisible(child));
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
    EXPECT_FALSE(IsWindowVisible(child));
    MoveWindow(child, 3, 4, 50, 60, TRUE);
    const RECT moved = windowRect(child);
    POINT origin { 0, 0 };
    ClientToScreen(top, &origin);
    EXPECT_EQ(moved.left - origin.x, 3);
    EXPECT_EQ(moved.bottom - moved.top, 60);
    {
        host::ScopedFailure failure("SetWindowPos", 1, ERROR_ACCESS_DENIED);
        EXPECT_FALSE(SetWindowPos(child, nullptr, 9, 9, 9, 9, SWP_NOZORDER));
    }
    EXPECT_EQ(windowRect(child).left, moved.left);
}

TEST_F(Geometry, MinimisingMaximisingAndRestoring)
{
    HWND window = make(WS_OVERLAPPEDWINDOW, 30, 40, 300, 200);
    log().clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL)) << "it was hidden";
    EXPECT_EQ(log().of(WM_SHOWWINDOW).size(), 1U);
    EXPECT_TRUE(ShowWindow(window, SW_SHOW)) << "it was visible";
    EXPECT_EQ(log().of(WM_SHOWWINDOW).size(), 1U) << "no second announcement";
    const RECT normal = windowRect(window);

    struct Case {
        int command;
        bool iconic;
        bool zoomed;
        WPARAM sizeKind;
    };
    const Case cases[] = {
        { SW_MINIMIZE, true, false, SIZE_MINIMIZED },
        { SW_RESTORE, false, false, SIZE_RESTORED },
        { SW_MAXIMIZE, false, true, SIZE_MAXIMIZED },
        { SW_SHOWMINIMIZED, true, false, SIZE_MINIMIZED },
        { SW_RESTORE, false, true, SIZE_MAXIMIZED }, // back to what it was before
        { SW_RESTORE, false, false, SIZE_RESTORED },
    };
    for (const Case& c : cases) {
        log().clear();
        ShowWindow(window, c.command);
        EXPECT_EQ(IsIconic(window) != FALSE, c.iconic) << c.command;
        EXPECT_EQ(IsZoomed(window) != FALSE, c.zoomed) << c.command;
        const auto sizes = log().of(WM_SIZE);
        ASSERT_FALSE(sizes.empty()) << c.command;
        EXPECT_EQ(sizes.back().wParam, c.sizeKind) << c.command;
        const RECT client = clientRect(window);
        if (c.iconic) {
            EXPECT_TRUE(IsRectEmpty(&client)) << c.command;
        } else if (c.zoomed) {
            const RECT r = windowRect(window);
            EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSCREEN) + 2 * GetSystemMetrics(SM_CXFRAME));
        }
    }
    const RECT restored = windowRect(window);
    EXPECT_TRUE(EqualRect(&restored, &normal));
    SetLastError(0);
    EXPECT_FALSE(ShowWindow(window, 12));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_SHOWWIN_COMMAND));
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(ShowWindow(window, SW_HIDE));
}

TEST_F(Geometry, TheWindowUnderAPoint)
{
    HWND top = make(WS_POPUP | WS_VISIBLE, 200, 200, 300, 300);
    HWND visible = make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    HWND hidden = make(WS_CHILD, 100, 10, 50, 50, top);
    HWND disabled = make(WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 100, 50, 50, top);
    HWND inner = make(WS_CHILD | WS_VISIBLE, 5, 5, 10, 10, visible);
    struct Case {
        POINT client;
        HWND fromPoint;  // WindowFromPoint
        HWND childOf;    // ChildWindowFromPoint
        HWND skipping;   // ChildWindowFromPointEx, skipping hidden and disabled
    };
    const Case cases[] = {
        { { 40, 40 }, visible, visible, visible },
        { { 16, 16 }, inner, visible, visible },
        { { 110, 20 }, top, hidden, top },
        { { 20, 110 }, top, disabled, top },
        { { 250, 250 }, top, top, top },
    };
    for (const Case& c : cases) {
        POINT screen = c.client;
        ClientToScreen(top, &screen);
        EXPECT_EQ(WindowFromPoint(screen), c.fromPoint) << c.client.x << "," << c.client.y;
        EXPECT_EQ(ChildWindowFromPoint(top, c.client), c.childOf) << c.client.x << "," << c.client.y;
        EXPECT_EQ(ChildWindowFromPointEx(top, c.client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED), c.skipping)
            << c.client.x << "," << c.client.y;
    }
    EXPECT_EQ(ChildWindowFromPoint(top, POINT { 400, 10 }), nullptr) << "outside the parent";
    EXPECT_EQ(WindowFromPoint(POINT { 10, 10 }), nullptr) << "the bare screen";
}

TEST_F(Geometry, HitTestingTheFrame)
{
    HWND window = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    const RECT r = windowRect(window);
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    struct Case {
        POINT point;
        LRESULT hit;
    };
    const Case cases[] = {
        { { r.left + 150, r.top + frame + caption / 2 }, HTCAPTION },
        { { r.right - frame - 4, r.top + frame + caption / 2 }, HTCLOSE },
        { { r.left + 150, r.top + frame + caption + 50 }, HTCLIENT },
        { { r.left + 1, r.top + 100 }, HTLEFT },
        { { r.right - 1, r.bottom - 1 }, HTBOTTOMRIGHT },
        { { r.left + 150, r.bottom - 1 }, HTBOTTOM },
        { { r.left - 5, r.top }, HTNOWHERE },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(c.point.x, c.point.y)), c.hit)
            << c.point.x << "," << c.point.y;
}

TEST_F(Geometry, SystemCommandsAndTheCaptionButtons)
{
    HWND window = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    host::pumpMessages();
    struct Command {
        WPARAM command;
        bool iconic;
        bool zoomed;
    };
    for (const Command c : { Command { SC_MINIMIZE, true, false }, Command { SC_RESTORE, false, false },
             Command { SC_MAXIMIZE, false, true }, Command { SC_RESTORE, false, false } }) {
        SendMessageA(window, WM_SYSCOMMAND, c.command, 0);
        EXPECT_EQ(IsIconic(window) != FALSE, c.iconic) << c.command;
        EXPECT_EQ(IsZoomed(window) != FALSE, c.zoomed) << c.command;
    }

    // A person presses the buttons of the caption: maximise, then restore
    // (the same button), then close.
    const auto captionButton = [&](int fromRight) {
        RECT r;
        GetWindowRect(window, &r);
        const int frame = GetSystemMetrics(SM_CXFRAME);
        const int button = GetSystemMetrics(SM_CYCAPTION) - 5;
        return POINT { r.right - frame - 2 - fromRight * (button + 2) - button / 2 - (fromRight ? 2 : 0),
            r.top + frame + GetSystemMetrics(SM_CYCAPTION) / 2 };
    };
    const POINT maximise = captionButton(1);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(maximise.x, maximise.y)), HTMAXBUTTON);
    host::click(maximise.x, maximise.y);
    host::pumpMessages();
    EXPECT_TRUE(IsZoomed(window));
    const POINT restore = captionButton(1);
    host::click(restore.x, restore.y);
    host::pumpMessages();
    EXPECT_FALSE(IsZoomed(window));
    // A press on the button and a release elsewhere does nothing.
    const POINT close = captionButton(0);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
    host::mouseMove(close.x, close.y);
    host::mouseDown();
    host::mouseMove(close.x - 60, close.y);
    host::mouseUp();
    host::pumpMessages();
    EXPECT_TRUE(IsWindow(window));
    log().clear();
    host::click(close.x, close.y);
    host::pumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(log().sequence({ WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY }),
        (std::vector<std::pair<HWND, UINT>> { { window, WM_SYSCOMMAND }, { window, WM_CLOSE }, { window, WM_DESTROY } }));

    // Alt+F4 closes the active window, from whichever child has the focus.
    HWND another = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    HWND child = make(WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, another);
    SetFocus(child);
    pressTogether({ VK_MENU, VK_F4 });
    host::pumpMessages();
    EXPECT_FALSE(IsWindow(another));
}

TEST_F(Geometry, DraggingTheCaptionAndTheBorders)
{
    HWND window = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    host::pumpMessages();
    const int frame = GetSystemMetrics(SM_CXFRAME);
    struct Case {
        const char* what;
        std::function<POINT(const RECT&)> grip;
        int dx, dy;
        bool escape;
        RECT change; // added to left, top, right, bottom
    };
    const Case cases[] = {
        { "the caption moves", [&](const RECT& r) { return POINT { r.left + 80, r.top + frame + 5 }; }, 30, 40, false,
            { 30, 40, 30, 40 } },
        { "the right border widens", [&](const RECT& r) { return POINT { r.right - 1, r.top + 100 }; }, 100, 0, false,
            { 0, 0, 100, 0 } },
        { "the bottom left corner", [&](const RECT& r) { return POINT { r.left + 1, r.bottom - 1 }; }, -20, 25, false,
            { -20, 0, 0, 25 } },
        { "Escape puts it back", [&](const RECT& r) { return POINT { r.right - 1, r.top + 100 }; }, 70, 0, true,
            { 0, 0, 0, 0 } },
    };
    for (const Case& c : cases) {
        RECT before;
        GetWindowRect(window, &before);
        const POINT grip = c.grip(before);
        log().clear();
        std::vector<std::function<void()>> steps { [&] { host::mouseMove(grip.x + c.dx / 2, grip.y + c.dy / 2); },
            [&] { host::mouseMove(grip.x + c.dx, grip.y + c.dy); },
            [&] {
                if (c.escape)
                    host::pressKey(VK_ESCAPE);
                host::mouseUp();
            } };
        std::size_t next = 0;
        host::setIdleHandler([&] {
            if (next < steps.size())
                steps[next++]();
        });
        host::mouseMove(grip.x, grip.y);
        host::mouseDown();
        host::pumpMessages();
        host::setIdleHandler({});
        RECT after;
        GetWindowRect(window, &after);
        EXPECT_EQ(after.left - before.left, c.change.left) << c.what;
        EXPECT_EQ(after.top - before.top, c.change.top) << c.what;
        EXPECT_EQ(after.right - before.right, c.change.right) << c.what;
        EXPECT_EQ(after.bottom - before.bottom, c.change.bottom) << c.what;
        EXPECT_EQ(log().of(WM_ENTERSIZEMOVE).size(), 1U) << c.what;
        EXPECT_EQ(log().of(WM_EXITSIZEMOVE).size(), 1U) << c.what;
        EXPECT_EQ(GetCapture(), nullptr) << c.what;
    }
    // No smaller than the tracking minimum.
    RECT r;
    GetWindowRect(window, &r);
    bool released = false;
    host::setIdleHandler([&] {
        if (released)
            return;
        released = true;
        host::mouseMove(r.right + 400, r.top + 100);
        host::mouseUp();
    });
    host::mouseMove(r.left + 1, r.top + 100);
    host::mouseDown();
    host::pumpMessages();
    host::setIdleHandler({});
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXMINTRACK));
}

}
