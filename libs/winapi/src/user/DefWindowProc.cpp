// DefWindowProcA: what a window does with the messages its own procedure
// leaves to the system. Non-client geometry comes from the one non-client
// layout; system commands close, minimise, maximise and restore.
#include "user/MenuTracking.h"
#include "user/NonClient.h"
#include "user/State.h"

#include <cstring>

namespace winapi::user {
namespace {

LRESULT storeText(HWND window, LPCSTR text)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    if (!w)
        return FALSE;
    // A title given as a resource number (0xFF and the number) is no text.
    w->text = text && static_cast<unsigned char>(text[0]) != 0xFF ? text : "";
    return TRUE;
}

LRESULT copyText(HWND window, WPARAM size, LPSTR buffer)
{
    if (!buffer || size == 0)
        return 0;
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w)
        return 0;
    const std::size_t length = std::min(w->text.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, w->text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

LRESULT hitTestWindow(HWND window, LPARAM lParam)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w)
        return HTNOWHERE;
    const RECT rect = screenRect(w);
    const NonClientLayout layout = nonClientLayout(rect, w->style, w->exStyle, !isChildWindow(*w) && w->menu);
    return hitTest(layout, rect, w->style, POINT { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
}

LRESULT calculateClient(HWND window, WPARAM calculateValid, LPARAM lParam)
{
    RECT* rect = calculateValid ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    if (!rect)
        return 0;
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w)
        return 0;
    *rect = nonClientLayout(*rect, w->style, w->exStyle, !isChildWindow(*w) && w->menu).client;
    return 0;
}

// Keeps a resizable window's new size within its tracking limits.
void limitSize(HWND window, WINDOWPOS* position)
{
    if (!position || (position->flags & SWP_NOSIZE))
        return;
    DWORD style;
    {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(window);
        if (!w)
            return;
        style = w->style;
    }
    if (style & (WS_MINIMIZE | WS_MAXIMIZE))
        return;
    if (!(style & WS_THICKFRAME) && (style & (WS_POPUP | WS_CHILD)))
        return;
    MINMAXINFO info {};
    info.ptMinTrackSize = { GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK) };
    info.ptMaxTrackSize = { GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK) };
    const int frame = 2 * GetSystemMetrics(SM_CXFRAME);
    info.ptMaxSize = { GetSystemMetrics(SM_CXSCREEN) + frame, GetSystemMetrics(SM_CYSCREEN) + frame };
    info.ptMaxPosition = { -frame / 2, -frame / 2 };
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    position->cx = std::clamp(position->cx, std::min(info.ptMinTrackSize.x, info.ptMaxTrackSize.x), info.ptMaxTrackSize.x);
    position->cy = std::clamp(position->cy, std::min(info.ptMinTrackSize.y, info.ptMaxTrackSize.y), info.ptMaxTrackSize.y);
}

void reportPosition(HWND window, const WINDOWPOS* position)
{
    if (!position)
        return;
    RECT client {};
    DWORD style = 0;
    {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(window);
        if (!w)
            return;
        client = w->client;
        style = w->style;
    }
    if (!(position->flags & swpNoClientMove))
        SendMessageA(window, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(client.left), static_cast<WORD>(client.top)));
    if (!(position->flags & swpNoClientSize)) {
        const WPARAM kind = (style & WS_MINIMIZE) ? SIZE_MINIMIZED : (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        SendMessageA(window, WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(width(client)), static_cast<WORD>(height(client))));
    }
}

HWND parentOf(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    return w && isChildWindow(*w) ? w->parent->handle : nullptr;
}

HWND topLevel(HWND window)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    return w ? topLevelOf(w)->handle : nullptr;
}

// Moving or sizing with the mouse held down on the caption or a border:
// the window follows the pointer until the button is released (Escape puts
// it back), announced by WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE, with
// WM_MOVING or WM_SIZING letting the window change each new rectangle.
void followPointer(HWND window, WPARAM edge)
{
    RECT start {};
    {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(window);
        if (!w || (w->style & WS_MAXIMIZE))
            return;
        start = w->rect;
    }
    POINT from {};
    GetCursorPos(&from);
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    SetCapture(window);
    MSG message;
    bool going = true;
    while (going && GetCapture() == window) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
            if (message.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        switch (message.message) {
        case WM_MOUSEMOVE: {
            const int dx = message.pt.x - from.x;
            const int dy = message.pt.y - from.y;
            RECT next = start;
            if (edge == 0) {
                next = offsetBy(start, dx, dy);
            } else {
                if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
                    next.left += dx;
                if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT)
                    next.right += dx;
                if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
                    next.top += dy;
                if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT)
                    next.bottom += dy;
            }
            SendMessageA(window, edge ? WM_SIZING : WM_MOVING, edge, reinterpret_cast<LPARAM>(&next));
            SetWindowPos(window, nullptr, next.left, next.top, width(next), height(next),
                SWP_NOZORDER | SWP_NOACTIVATE | (edge ? 0 : SWP_NOSIZE));
            break;
        }
        case WM_LBUTTONUP: going = false; break;
        case WM_KEYDOWN:
            if (message.wParam == VK_ESCAPE) {
                SetWindowPos(window, nullptr, start.left, start.top, width(start), height(start),
                    SWP_NOZORDER | SWP_NOACTIVATE);
                going = false;
            }
            break;
        default:
            if (message.message < WM_MOUSEFIRST || message.message > WM_MOUSELAST)
                DispatchMessageA(&message);
            break;
        }
    }
    if (GetCapture() == window)
        ReleaseCapture();
    if (IsWindow(window))
        SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
}

LRESULT systemCommand(HWND window, WPARAM command, LPARAM lParam)
{
    switch (command & 0xFFF0) {
    case SC_CLOSE: SendMessageA(window, WM_CLOSE, 0, 0); return 0;
    case SC_MINIMIZE: ShowWindow(window, SW_MINIMIZE); return 0;
    case SC_MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); return 0;
    case SC_RESTORE: ShowWindow(window, SW_RESTORE); return 0;
    case SC_MOUSEMENU: trackMenuBar(window, lParam, true); return 0;
    case SC_MOVE:
        // Only the mouse's form (with the part held in the low bits) moves.
        if (command & 0x0F)
            followPointer(window, 0);
        return 0;
    case SC_SIZE:
        if (command & 0x0F)
            followPointer(window, command & 0x0F);
        return 0;
    case SC_KEYMENU: trackMenuBar(window, lParam, false); return 0;
    default: return 0;
    }
}

// A non-client button acts when the press and the release are on it.
LRESULT nonClientButton(HWND window, UINT message, WPARAM hit)
{
    const bool button = hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON;
    int tracked = 0;
    DWORD style = 0;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w)
            return 0;
        style = w->style;
        if (message == WM_NCLBUTTONDOWN) {
            w->trackedHit = button ? static_cast<int>(hit) : 0;
            return 0;
        }
        tracked = w->trackedHit;
        w->trackedHit = 0;
    }
    if (!button || tracked != static_cast<int>(hit))
        return 0;
    WPARAM command = SC_CLOSE;
    if (hit == HTMINBUTTON)
        command = SC_MINIMIZE;
    else if (hit == HTMAXBUTTON)
        command = (style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE;
    SendMessageA(window, WM_SYSCOMMAND, command, 0);
    return 0;
}

HBRUSH backgroundOf(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    return w ? w->windowClass->background : nullptr;
}

}

}

using namespace winapi::user;

extern "C" LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (create && create->lpszName)
            storeText(window, create->lpszName);
        return TRUE;
    }
    case WM_NCCALCSIZE: return calculateClient(window, wParam, lParam);
    case WM_NCHITTEST: return hitTestWindow(window, lParam);
    case WM_NCACTIVATE: return TRUE;
    case WM_SETTEXT: return storeText(window, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return copyText(window, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(window);
        return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_SETICON: {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w)
            return 0;
        HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON: {
        std::lock_guard guard(system().lock);
        const Window* w = findWindow(window);
        if (!w)
            return 0;
        if (wParam == ICON_BIG)
            return reinterpret_cast<LRESULT>(w->bigIcon);
        if (wParam == ICON_SMALL)
            return reinterpret_cast<LRESULT>(w->smallIcon);
        return reinterpret_cast<LRESULT>(w->smallIcon ? w->smallIcon : w->bigIcon);
    }
    case WM_ERASEBKGND:
        // The class brush erases; drawing it needs the device context that
        // the drawing layer will pass here.
        return backgroundOf(window) ? 1 : 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_WINDOWPOSCHANGING: limitSize(window, reinterpret_cast<WINDOWPOS*>(lParam)); return 0;
    case WM_WINDOWPOSCHANGED: reportPosition(window, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
            SetFocus(window);
        return 0;
    case WM_MOUSEACTIVATE:
        if (HWND parent = parentOf(window)) {
            const LRESULT answer = SendMessageA(parent, WM_MOUSEACTIVATE, wParam, lParam);
            if (answer)
                return answer;
        }
        return MA_ACTIVATE;
    case WM_SETCURSOR: {
        if (HWND parent = parentOf(window)) {
            if (SendMessageA(parent, WM_SETCURSOR, wParam, lParam))
                return TRUE;
        }
        const WORD hit = LOWORD(lParam);
        const WORD mouse = HIWORD(lParam);
        if (static_cast<SHORT>(hit) == HTERROR) {
            // A press on a window disabled by a modal one brings that one forward.
            if (mouse == WM_LBUTTONDOWN || mouse == WM_RBUTTONDOWN || mouse == WM_MBUTTONDOWN) {
                MessageBeep(0);
                if (HWND popup = GetWindow(topLevel(window), GW_ENABLEDPOPUP))
                    SetActiveWindow(popup);
            }
            return TRUE;
        }
        if (hit == HTCLIENT) {
            std::unique_lock guard(system().lock);
            const Window* w = findWindow(window);
            HCURSOR cursor = w ? w->windowClass->cursor : nullptr;
            guard.unlock();
            if (cursor)
                SetCursor(cursor);
            return cursor ? TRUE : FALSE;
        }
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    }
    case WM_CANCELMODE:
        if (GetCapture() == window)
            ReleaseCapture();
        return 0;
    case WM_SYSCOMMAND: return systemCommand(window, wParam, lParam);
    case WM_NCLBUTTONDOWN:
        if (wParam == HTMENU) {
            SendMessageA(window, WM_SYSCOMMAND, SC_MOUSEMENU | HTMENU, lParam);
            return 0;
        }
        if (wParam == HTCAPTION) {
            SendMessageA(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
            return 0;
        }
        if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT) {
            SendMessageA(window, WM_SYSCOMMAND, SC_SIZE | (wParam - HTLEFT + WMSZ_LEFT), lParam);
            return 0;
        }
        return nonClientButton(window, message, wParam);
    case WM_NCLBUTTONUP: return nonClientButton(window, message, wParam);
    case WM_NCLBUTTONDBLCLK:
        // A quick second press on a caption button is a press like any other.
        if (wParam == HTCLOSE || wParam == HTMINBUTTON || wParam == HTMAXBUTTON)
            return nonClientButton(window, WM_NCLBUTTONDOWN, wParam);
        if (wParam == HTCAPTION) {
            const LONG style = GetWindowLongA(window, GWL_STYLE);
            if (style & WS_MAXIMIZEBOX)
                SendMessageA(window, WM_SYSCOMMAND, (style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        } else if (wParam == HTSYSMENU) {
            SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, lParam);
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
            SendMessageA(topLevel(window), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_MENU || wParam == VK_F10) {
            bool alone;
            {
                std::lock_guard guard(system().lock);
                ThreadQueue& queue = currentQueue();
                alone = queue.menuKeyAlone;
                queue.menuKeyAlone = false;
            }
            if (alone)
                SendMessageA(topLevel(window), WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSCHAR:
        // Alt and a letter: the menu bar's item with that mnemonic.
        if (wParam != VK_SPACE)
            SendMessageA(topLevel(window), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        return 0;
    case WM_RBUTTONUP: {
        POINT p { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        ClientToScreen(window, &p);
        SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(p.x, p.y));
        return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        if (HWND parent = parentOf(window))
            return SendMessageA(parent, message, wParam, lParam);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        // Text boxes and lists sit on the window colour, everything else on
        // the 3-D face; the text colours go into the device context once
        // the drawing layer passes one here.
        return reinterpret_cast<LRESULT>(GetSysColorBrush(
            message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW
                : message == WM_CTLCOLORSCROLLBAR                      ? COLOR_SCROLLBAR
                                                                        : COLOR_BTNFACE));
    case WM_SETREDRAW: {
        std::lock_guard guard(system().lock);
        if (Window* w = findWindow(window)) {
            if (wParam)
                w->style |= WS_VISIBLE;
            else
                w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        }
        return 0;
    }
    default: return 0;
    }
}
