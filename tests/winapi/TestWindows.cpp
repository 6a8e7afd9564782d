// Window classes and windows: registration rules, the messages of creation
// and destruction in their order, stale handles, window values and their
// error codes, relations between windows, and window texts.
#include "WindowTesting.h"

#include <thread>

using namespace testing_support;

namespace {

using Sequence = std::vector<std::pair<HWND, UINT>>;

const std::vector<UINT> lifeMessages { WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
    WM_PARENTNOTIFY, WM_SHOWWINDOW, WM_DESTROY, WM_NCDESTROY };

class Windows : public WindowTest { };

TEST_F(Windows, CreationSendsItsMessagesInThePlatformsOrder)
{
    const std::string name = recordingClass();
    HWND parent = CreateWindowExA(0, name.c_str(), "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(log().sequence(lifeMessages),
        (Sequence { { parent, WM_GETMINMAXINFO }, { parent, WM_NCCREATE }, { parent, WM_NCCALCSIZE },
            { parent, WM_CREATE }, { parent, WM_SIZE }, { parent, WM_MOVE }, { parent, WM_SHOWWINDOW } }));

    struct Case {
        const char* what;
        DWORD style;
        DWORD exStyle;
        bool notifies;
        bool shows;
    };
    const Case cases[] = {
        { "visible child", WS_CHILD | WS_VISIBLE, 0, true, true },
        { "hidden child", WS_CHILD, 0, true, false },
        { "quiet child", WS_CHILD | WS_VISIBLE, WS_EX_NOPARENTNOTIFY, false, true },
    };
    for (const Case& c : cases) {
        log().clear();
        HWND child = CreateWindowExA(c.exStyle, name.c_str(), c.what, c.style, 5, 5, 50, 20, parent,
            reinterpret_cast<HMENU>(7), nullptr, nullptr);
        ASSERT_NE(child, nullptr) << c.what;
        Sequence expected { { child, WM_NCCREATE }, { child, WM_NCCALCSIZE }, { child, WM_CREATE }, { child, WM_SIZE },
            { child, WM_MOVE } };
        if (c.notifies)
            expected.emplace_back(parent, WM_PARENTNOTIFY);
        if (c.shows)
            expected.emplace_back(child, WM_SHOWWINDOW);
        EXPECT_EQ(log().sequence(lifeMessages), expected) << c.what;
        if (c.notifies) {
            const Delivery notice = log().of(WM_PARENTNOTIFY).front();
            EXPECT_EQ(notice.wParam, MAKEWPARAM(WM_CREATE, 7)) << c.what;
            EXPECT_EQ(reinterpret_cast<HWND>(notice.lParam), child) << c.what;
        }
        EXPECT_EQ(IsWindowVisible(child) != FALSE, c.shows) << c.what;
    }
}

TEST_F(Windows, DestructionReachesTheWindowBeforeItsChildrenAndFreesThemAfter)
{
    const std::string name = recordingClass();
    HWND top = CreateWindowExA(0, name.c_str(), "top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr,
        nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(WS_EX_NOPARENTNOTIFY, name.c_str(), "child", WS_CHILD | WS_VISIBLE, 0, 0, 100,
        100, top, nullptr, nullptr, nullptr);
    HWND grandchild = CreateWindowExA(WS_EX_NOPARENTNOTIFY, name.c_str(), "grandchild", WS_CHILD | WS_VISIBLE, 0, 0,
        50, 50, child, nullptr, nullptr, nullptr);
    HWND sibling = CreateWindowExA(WS_EX_NOPARENTNOTIFY, name.c_str(), "sibling", WS_CHILD, 0, 0, 10, 10, top,
        nullptr, nullptr, nullptr);
    ASSERT_TRUE(top && child && grandchild && sibling);
    log().clear();
    ASSERT_TRUE(DestroyWindow(top));
    EXPECT_EQ(log().sequence({ WM_DESTROY, WM_NCDESTROY }),
        (Sequence { { top, WM_DESTROY }, { child, WM_DESTROY }, { grandchild, WM_DESTROY }, { sibling, WM_DESTROY },
            { grandchild, WM_NCDESTROY }, { child, WM_NCDESTROY }, { sibling, WM_NCDESTROY }, { top, WM_NCDESTROY } }));
    for (HWND gone : { top, child, grandchild, sibling }) {
        EXPECT_FALSE(IsWindow(gone));
        SetLastError(0);
        EXPECT_EQ(GetWindowLongA(gone, GWL_STYLE), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    }
}

TEST_F(Windows, StaleHandlesAreRefusedByEveryCall)
{
    const std::string name = recordingClass();
    HWND window = CreateWindowExA(0, name.c_str(), "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(DestroyWindow(window));
    // A new window may reuse the slot but never the handle.
    HWND next = CreateWindowExA(0, name.c_str(), "y", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(next, window);
    RECT rect;
    POINT point {};
    MSG message { window, WM_USER, 0, 0, 0, {} };
    const std::pair<const char*, std::function<bool()>> calls[] = {
        { "DestroyWindow", [&] { return DestroyWindow(window) == FALSE; } },
        { "SendMessageA", [&] { return SendMessageA(window, WM_USER, 0, 0) == 0; } },
        { "PostMessageA", [&] { return PostMessageA(window, WM_USER, 0, 0) == FALSE; } },
        { "DispatchMessageA", [&] { return DispatchMessageA(&message) == 0; } },
        { "SetWindowLongA", [&] { return SetWindowLongA(window, GWL_USERDATA, 1) == 0; } },
        { "GetWindowRect", [&] { return GetWindowRect(window, &rect) == FALSE; } },
        { "GetClientRect", [&] { return GetClientRect(window, &rect) == FALSE; } },
        { "ClientToScreen", [&] { return ClientToScreen(window, &point) == FALSE; } },
        { "MapWindowPoints", [&] { return MapWindowPoints(window, nullptr, &point, 1) == 0; } },
        { "SetWindowPos", [&] { return SetWindowPos(window, nullptr, 0, 0, 1, 1, SWP_NOZORDER) == FALSE; } },
        { "ShowWindow", [&] { return ShowWindow(window, SW_SHOW) == FALSE; } },
        { "EnableWindow", [&] { return EnableWindow(window, FALSE) == FALSE; } },
        { "SetWindowTextA", [&] { return SetWindowTextA(window, "z") == FALSE; } },
        { "GetParent", [&] { return GetParent(window) == nullptr; } },
        { "InvalidateRect", [&] { return InvalidateRect(window, nullptr, TRUE) == FALSE; } },
        { "SetFocus", [&] { return SetFocus(window) == nullptr; } },
        { "GetClassNameA", [&] { char buffer[8]; return GetClassNameA(window, buffer, 8) == 0; } },
    };
    for (const auto& [what, call] : calls) {
        SetLastError(0);
        EXPECT_TRUE(call()) << what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE)) << what;
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindow(next));
}

TEST_F(Windows, AFailedCreationLeavesNoWindow)
{
    const std::string name = recordingClass();
    struct Case {
        UINT refusing;
        LRESULT refusal;
        std::vector<UINT> after; // what the window still hears
    };
    const Case cases[] = {
        { WM_NCCREATE, FALSE, { WM_NCDESTROY } },
        { WM_CREATE, -1, { WM_DESTROY, WM_NCDESTROY } },
    };
    for (const Case& c : cases) {
        log().clear();
        answer(c.refusing, [&](HWND, UINT, WPARAM, LPARAM) { return c.refusal; });
        EXPECT_EQ(CreateWindowExA(0, name.c_str(), "no", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                      nullptr, nullptr),
            nullptr);
        answer(c.refusing, nullptr);
        std::vector<UINT> heard;
        bool past = false;
        for (const Delivery& d : log().entries()) {
            if (past && (d.message == WM_DESTROY || d.message == WM_NCDESTROY))
                heard.push_back(d.message);
            past = past || d.message == c.refusing;
        }
        EXPECT_EQ(heard, c.after) << c.refusing;
        EXPECT_FALSE(IsWindow(log().entries().front().window));
    }
}

TEST_F(Windows, AWindowMayDestroyItselfInsideItsOwnProcedure)
{
    const std::string name = recordingClass();
    HWND window = CreateWindowExA(0, name.c_str(), "self", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
        nullptr, nullptr, nullptr);
    LONG afterwards = 1;
    DWORD code = 0;
    answer(WM_USER, [&](HWND self, UINT, WPARAM, LPARAM) {
        DestroyWindow(self);
        // The handle is stale now, yet the procedure still runs safely.
        SetLastError(0);
        afterwards = GetWindowLongA(self, GWL_STYLE);
        code = GetLastError();
        return LRESULT { 5 };
    });
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 5);
    EXPECT_EQ(afterwards, 0);
    EXPECT_EQ(code, static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Windows, ClassRegistrationFollowsThePlatformsRules)
{
    const std::string name = recordingClass(CS_DBLCLKS, 12, 8);
    WNDCLASSEXA record {};
    record.cbSize = sizeof record;
    record.lpfnWndProc = recordingProcedure;
    const std::string lower = [&] {
        std::string l = name;
        for (char& c : l)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return l;
    }();
    record.lpszClassName = lower.c_str();
    EXPECT_EQ(RegisterClassExA(&record), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    struct Bad {
        const char* what;
        std::function<void(WNDCLASSEXA&)> spoil;
    };
    const Bad bad[] = {
        { "record size", [](WNDCLASSEXA& r) { r.cbSize = sizeof r - 4; } },
        { "no procedure", [](WNDCLASSEXA& r) { r.lpfnWndProc = nullptr; } },
        { "negative extra bytes", [](WNDCLASSEXA& r) { r.cbWndExtra = -1; } },
        { "no name", [](WNDCLASSEXA& r) { r.lpszClassName = nullptr; } },
    };
    for (const Bad& b : bad) {
        WNDCLASSEXA spoilt = record;
        spoilt.lpszClassName = "SpoiltClass";
        b.spoil(spoilt);
        SetLastError(0);
        EXPECT_EQ(RegisterClassExA(&spoilt), 0) << b.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << b.what;
    }

    WNDCLASSEXA info {};
    const ATOM atom = static_cast<ATOM>(GetClassInfoExA(nullptr, lower.c_str(), &info));
    EXPECT_NE(atom, 0);
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.cbWndExtra, 12);
    EXPECT_EQ(info.cbClsExtra, 8);
    EXPECT_EQ(info.lpfnWndProc, &recordingProcedure);
    EXPECT_EQ(info.lpszClassName, lower.c_str());

    HWND window = CreateWindowExA(0, MAKEINTATOM(atom), "by atom", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
        nullptr);
    ASSERT_NE(window, nullptr);
    char className[64];
    EXPECT_EQ(GetClassNameA(window, className, sizeof className), static_cast<int>(name.size()));
    EXPECT_EQ(std::string(className), name);
    EXPECT_EQ(GetClassLongA(window, GCW_ATOM), atom);
    EXPECT_EQ(SetClassLongA(window, 4, 77), 0U);
    EXPECT_EQ(GetClassLongA(window, 4), 77U);
    SetLastError(0);
    EXPECT_EQ(GetClassLongA(window, 5), 0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

    EXPECT_FALSE(UnregisterClassA(name.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA(name.c_str(), nullptr));
    EXPECT_FALSE(GetClassInfoExA(nullptr, name.c_str(), &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_FALSE(UnregisterClassA(name.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));

    {
        winapi::host::ScopedFailure failure("RegisterClassExA", 1, ERROR_NOT_ENOUGH_MEMORY);
        record.lpszClassName = "NeverRegistered";
        EXPECT_EQ(RegisterClassExA(&record), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
    EXPECT_FALSE(GetClassInfoExA(nullptr, "NeverRegistered", &info));
}

TEST_F(Windows, TheSystemClassesAreRegistered)
{
    WNDCLASSEXA info {};
    ASSERT_TRUE(GetClassInfoExA(nullptr, WC_DIALOG, &info));
    EXPECT_EQ(info.lpfnWndProc, &DefDlgProcA);
    EXPECT_EQ(info.cbWndExtra, DLGWINDOWEXTRA);
    for (const char* control : { "BUTTON", "EDIT", "STATIC", "LISTBOX", "COMBOBOX", "SCROLLBAR", "button" }) {
        EXPECT_TRUE(GetClassInfoExA(nullptr, control, &info)) << control;
        HWND window = CreateWindowExA(0, control, "text", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr) << control;
        char text[8];
        EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 4) << control;
        DestroyWindow(window);
    }
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
}

TEST_F(Windows, WindowValuesAndTheirErrorCodes)
{
    const std::string name = recordingClass(0, 8);
    HWND parent = CreateWindowExA(0, name.c_str(), "p", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
        GetModuleHandleA(nullptr), nullptr);
    HWND window = CreateWindowExA(WS_EX_CLIENTEDGE, name.c_str(), "w", WS_CHILD | WS_BORDER, 0, 0, 10, 10, parent,
        reinterpret_cast<HMENU>(42), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowLongA(window, GWL_ID), 42);
    EXPECT_EQ(GetDlgCtrlID(window), 42);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(parent));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), static_cast<DWORD>(WS_CHILD | WS_BORDER));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // An overlapped window always has a caption.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(parent, GWL_STYLE)) & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));

    struct Case {
        int index;
        LONG first;
        LONG second;
    };
    const Case settable[] = { { GWL_USERDATA, 11, -5 }, { GWL_ID, 43, 44 }, { 0, 1234, 5678 }, { 4, -1, 7 },
        { GWL_EXSTYLE, WS_EX_TOPMOST, 0 } };
    for (const Case& c : settable) {
        SetWindowLongA(window, c.index, c.first);
        SetLastError(12345);
        EXPECT_EQ(SetWindowLongA(window, c.index, c.second), c.first) << c.index;
        EXPECT_EQ(GetLastError(), 12345U) << "success leaves the code alone: " << c.index;
        EXPECT_EQ(GetWindowLongA(window, c.index), c.second) << c.index;
    }
    for (const int outside : { 5, 8, 100, -2, -100 }) {
        SetLastError(0);
        EXPECT_EQ(SetWindowLongA(window, outside, 1), 0) << outside;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX)) << outside;
        SetLastError(0);
        EXPECT_EQ(GetWindowLongA(window, outside), 0) << outside;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX)) << outside;
    }

    // A style change is announced to the window before and after.
    log().clear();
    SetWindowLongA(window, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(log().sequence({ WM_STYLECHANGING, WM_STYLECHANGED }),
        (Sequence { { window, WM_STYLECHANGING }, { window, WM_STYLECHANGED } }));
    EXPECT_TRUE(IsWindowVisible(window) == FALSE) << "the parent is hidden";

    // The 32-bit form of a procedure works where the procedure is needed.
    const LONG procedure = GetWindowLongA(window, GWL_WNDPROC);
    EXPECT_NE(procedure, 0);
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&recordingProcedure));
    const WNDPROC narrow = reinterpret_cast<WNDPROC>(static_cast<std::uintptr_t>(static_cast<DWORD>(procedure)));
    log().clear();
    CallWindowProcA(narrow, window, WM_USER + 3, 0, 0);
    EXPECT_EQ(log().of(WM_USER + 3).size(), 1U);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcA)),
        reinterpret_cast<LONG_PTR>(&recordingProcedure));
    const LONG plain = GetWindowLongA(window, GWL_WNDPROC);
    EXPECT_EQ(SetWindowLongA(window, GWL_WNDPROC, procedure), plain);
    log().clear();
    SendMessageA(window, WM_USER + 4, 0, 0);
    EXPECT_EQ(log().of(WM_USER + 4).size(), 1U) << "the procedure set back from its 32-bit form";

    {
        winapi::host::ScopedFailure failure("SetWindowLongA", 1, ERROR_ACCESS_DENIED);
        EXPECT_EQ(SetWindowLongA(window, GWL_USERDATA, 99), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(GetWindowLongA(window, GWL_USERDATA), -5);
}

TEST_F(Windows, RelationsBetweenWindows)
{
    const std::string name = recordingClass();
    HWND owner = CreateWindowExA(0, name.c_str(), "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
        nullptr, nullptr);
    HWND first = CreateWindowExA(0, name.c_str(), "1", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    HWND second = CreateWindowExA(0, name.c_str(), "2", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    HWND inner = CreateWindowExA(0, name.c_str(), "3", WS_CHILD, 0, 0, 10, 10, second, nullptr, nullptr, nullptr);
    // An owner given as a child means that child's top-level window.
    HWND popup = CreateWindowExA(0, name.c_str(), "popup", WS_POPUP, 0, 0, 10, 10, inner, nullptr, nullptr, nullptr);
    HWND owned = CreateWindowExA(0, name.c_str(), "owned", WS_OVERLAPPED, 0, 0, 10, 10, owner, nullptr, nullptr,
        nullptr);
    ASSERT_TRUE(owner && first && second && inner && popup && owned);

    const std::pair<HWND, HWND> parents[] = { { first, owner }, { inner, second }, { popup, owner }, { owned, nullptr },
        { owner, nullptr } };
    for (const auto& [window, parent] : parents)
        EXPECT_EQ(GetParent(window), parent);
    EXPECT_EQ(GetWindow(owner, GW_CHILD), first) << "children keep their creation order";
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(second, GW_HWNDPREV), first);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_TRUE(IsChild(owner, inner));
    EXPECT_FALSE(IsChild(owner, popup));
    EXPECT_FALSE(IsChild(inner, owner));
    EXPECT_EQ(GetAncestor(inner, GA_ROOT), owner);
    EXPECT_EQ(GetAncestor(inner, GA_PARENT), second);
    EXPECT_EQ(GetAncestor(owner, GA_PARENT), GetDesktopWindow());

    std::vector<HWND> seen;
    EnumChildWindows(owner, [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND> { first, second, inner }));
    seen.clear();
    EnumChildWindows(owner, [](HWND window, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return FALSE;
    }, reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND> { first }));

    // Owned windows go before their owner.
    log().clear();
    DestroyWindow(owner);
    const auto destroys = log().sequence({ WM_DESTROY });
    ASSERT_FALSE(destroys.empty());
    EXPECT_NE(destroys.front().first, owner);
    for (HWND window : { popup, owned })
        EXPECT_FALSE(IsWindow(window));
}

TEST_F(Windows, TextsRoundTrip)
{
    const std::string name = recordingClass();
    HWND window = CreateWindowExA(0, name.c_str(), "Initial title", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
        nullptr, nullptr, nullptr);
    char buffer[64];
    EXPECT_EQ(GetWindowTextLengthA(window), 13);
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof buffer), 13);
    EXPECT_STREQ(buffer, "Initial title");
    EXPECT_TRUE(SetWindowTextA(window, "Caf\xE9 \xD7 2"));
    EXPECT_EQ(GetWindowTextA(window, buffer, sizeof buffer), 8);
    EXPECT_STREQ(buffer, "Caf\xE9 \xD7 2");
    EXPECT_EQ(GetWindowTextA(window, buffer, 4), 3) << "cut to the buffer, terminated";
    EXPECT_STREQ(buffer, "Caf");
    EXPECT_TRUE(SetWindowTextA(window, nullptr));
    EXPECT_EQ(GetWindowTextLengthA(window), 0);
    {
        winapi::host::ScopedFailure failure("SetWindowTextA", 1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_FALSE(SetWindowTextA(window, "never"));
    }
    EXPECT_EQ(GetWindowTextLengthA(window), 0);
}

TEST_F(Windows, DefaultAnswersOfDefWindowProc)
{
    const std::string name = recordingClass();
    HWND window = CreateWindowExA(0, name.c_str(), "w", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
        nullptr, nullptr);
    HICON big = LoadIconA(nullptr, IDI_APPLICATION);
    HICON small = LoadIconA(nullptr, IDI_QUESTION);
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
    };
    const Case cases[] = {
        { "no big icon yet", WM_GETICON, ICON_BIG, 0, 0 },
        { "the big icon set", WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big), 0 },
        { "the small one stands in for itself", WM_GETICON, ICON_SMALL2, 0, reinterpret_cast<LRESULT>(big) },
        { "the small icon set", WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small), 0 },
        { "and replaced, giving the old one", WM_SETICON, ICON_SMALL, 0, reinterpret_cast<LRESULT>(small) },
        { "big read back", WM_GETICON, ICON_BIG, 0, reinterpret_cast<LRESULT>(big) },
        { "ending the session is fine", WM_QUERYENDSESSION, 0, 0, TRUE },
        { "a window with a brush erases", WM_ERASEBKGND, 0, 0, 1 },
        { "edit colours", WM_CTLCOLOREDIT, 0, 0, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)) },
        { "dialog colours", WM_CTLCOLORDLG, 0, 0, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(window, c.message, c.wParam, c.lParam), c.result) << c.what;
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window)) << "closing destroys";
}

}
