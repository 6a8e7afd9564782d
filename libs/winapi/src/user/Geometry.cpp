// Window geometry: positions and sizes with their messages (SetWindowPos,
// MoveWindow, ShowWindow and the minimised and maximised states), window
// and client rectangles, coordinate mapping, finding the window under a
// point, AdjustWindowRectEx and the plain rectangle helpers.
#include "core/Faults.h"
#include "user/NonClient.h"
#include "user/State.h"

#include <cstring>

namespace winapi::user {
namespace {

constexpr UINT publicPositionFlags = 0x7FFF & ~(swpNoClientSize | swpNoClientMove);

// The rectangle a minimised window takes: a caption-sized tile parked out of
// sight, as the platform parks minimised top-level windows.
RECT minimisedRect(const Window& window)
{
    const int tileWidth = 160;
    const int tileHeight = GetSystemMetrics(SM_CYCAPTION) + 2 * frameWidth(window.style, window.exStyle);
    if (isChildWindow(window)) {
        const int bottom = height(window.parent->client);
        return { 0, bottom - tileHeight, tileWidth, bottom };
    }
    return { -32000, -32000, -32000 + tileWidth, -32000 + tileHeight };
}

MINMAXINFO defaultMinMax(const Window& window)
{
    const int frame = frameWidth(window.style, window.exStyle);
    const RECT area = window.parent ? window.parent->client : window.rect;
    MINMAXINFO info {};
    info.ptMaxSize = { width(area) + 2 * frame, height(area) + 2 * frame };
    info.ptMaxPosition = { -frame, -frame };
    info.ptMinTrackSize = { GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK) };
    info.ptMaxTrackSize = { GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK) };
    return info;
}

HWND childAt(Window* parent, POINT clientPoint, UINT flags)
{
    for (Window* child : parent->children) {
        if ((flags & CWP_SKIPINVISIBLE) && !(child->style & WS_VISIBLE))
            continue;
        if ((flags & CWP_SKIPDISABLED) && (child->style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (child->exStyle & WS_EX_TRANSPARENT))
            continue;
        if (contains(child->rect, clientPoint))
            return child->handle;
    }
    return parent->handle;
}

// The deepest visible, enabled window under a screen point, as the
// platform's WindowFromPoint finds it; a disabled child leaves the point
// to its parent.
Window* windowAtScreenPoint(POINT p)
{
    Window* found = nullptr;
    for (Window* top : system().desktop->children) {
        if ((top->style & WS_VISIBLE) && contains(top->rect, p)) {
            found = top;
            break;
        }
    }
    if (!found || (found->style & WS_DISABLED))
        return found;
    for (;;) {
        const RECT client = screenClient(found);
        if (!contains(client, p))
            return found;
        const POINT local { p.x - client.left, p.y - client.top };
        Window* next = nullptr;
        for (Window* child : found->children) {
            if ((child->style & WS_VISIBLE) && contains(child->rect, local)) {
                next = child;
                break;
            }
        }
        if (!next || (next->style & WS_DISABLED))
            return found;
        found = next;
    }
}

}

HWND windowUnderPoint(POINT screenPoint)
{
    Window* w = windowAtScreenPoint(screenPoint);
    return w ? w->handle : nullptr;
}

// SetWindowPos on the window's own thread, without the fault check.
BOOL setWindowPosition(HWND handle, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    WINDOWPOS position { handle, insertAfter, x, y, cx, cy, flags & publicPositionFlags };
    bool wasVisible;
    bool topLevel;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w || isDesktop(w)) {
            SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasVisible = w->style & WS_VISIBLE;
        topLevel = !isChildWindow(*w);
        if (position.flags & SWP_NOMOVE) {
            position.x = w->rect.left;
            position.y = w->rect.top;
        }
        if (position.flags & SWP_NOSIZE) {
            position.cx = width(w->rect);
            position.cy = height(w->rect);
        }
    }
    if (!(position.flags & SWP_NOSENDCHANGING))
        SendMessageA(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));

    RECT oldRect;
    RECT oldClient;
    RECT newRect;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        oldRect = w->rect;
        oldClient = w->client;
        newRect = oldRect;
        if (!(position.flags & SWP_NOMOVE))
            newRect = offsetBy(oldRect, position.x - oldRect.left, position.y - oldRect.top);
        if (!(position.flags & SWP_NOSIZE)) {
            newRect.right = newRect.left + std::max(0, position.cx);
            newRect.bottom = newRect.top + std::max(0, position.cy);
        }
    }
    const bool sized = width(newRect) != width(oldRect) || height(newRect) != height(oldRect);
    const bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    RECT newClient = offsetBy(oldClient, newRect.left - oldRect.left, newRect.top - oldRect.top);
    if (sized || (position.flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params { { newRect, oldRect, oldClient }, &position };
        SendMessageA(handle, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        newClient = params.rgrc[0];
    }

    const bool showing = (position.flags & SWP_SHOWWINDOW) && !wasVisible;
    const bool hiding = (position.flags & SWP_HIDEWINDOW) && wasVisible;
    bool activate = false;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (newClient.right < newClient.left)
            newClient.right = newClient.left;
        if (newClient.bottom < newClient.top)
            newClient.bottom = newClient.top;
        w->rect = newRect;
        w->client = newClient;
        if (!(position.flags & SWP_NOZORDER) && position.hwndInsertAfter != handle && w->parent)
            linkChild(w->parent, w, position.hwndInsertAfter);
        if (showing)
            w->style |= WS_VISIBLE;
        if (hiding) {
            w->style &= ~static_cast<DWORD>(WS_VISIBLE);
            w->update = {};
            w->erase = false;
        }
        const bool clientSized = width(newClient) != width(oldClient) || height(newClient) != height(oldClient);
        const bool clientMoved = newClient.left != oldClient.left || newClient.top != oldClient.top;
        if (!(position.flags & SWP_NOREDRAW)) {
            const UINT classStyle = w->windowClass->style;
            if (showing || (position.flags & SWP_FRAMECHANGED)
                || (clientSized && (classStyle & (CS_HREDRAW | CS_VREDRAW))))
                invalidate(w, nullptr, true, true);
            else if (clientSized) {
                // Only what the larger client area uncovers.
                const RECT old { 0, 0, width(oldClient), height(oldClient) };
                const RECT now { 0, 0, width(newClient), height(newClient) };
                const RECT right { old.right, 0, now.right, now.bottom };
                const RECT below { 0, old.bottom, now.right, now.bottom };
                invalidate(w, &right, true, true);
                invalidate(w, &below, true, true);
            }
            if ((hiding || moved || sized) && w->parent && !isDesktop(w->parent))
                invalidate(w->parent, &oldRect, true, false);
        }
        position.x = newRect.left;
        position.y = newRect.top;
        position.cx = width(newRect);
        position.cy = height(newRect);
        position.flags |= (clientSized ? 0 : swpNoClientSize) | (clientMoved ? 0 : swpNoClientMove);
        activate = topLevel && !(position.flags & SWP_NOACTIVATE) && (w->style & WS_VISIBLE)
            && !(w->style & WS_DISABLED) && (showing || !(position.flags & SWP_NOZORDER));
    }
    if (activate)
        activateWindow(handle, WA_ACTIVE, false);
    if (hiding)
        activateOtherThan(handle);
    if (hiding && !topLevel) {
        // A hidden control keeps no focus: it goes to the parent (a dialog
        // passes it on to its first control).
        HWND parent = nullptr;
        {
            std::lock_guard guard(system().lock);
            Window* w = findWindow(handle);
            Window* focus = findWindow(currentQueue().focus);
            if (w && focus && (focus == w || isDescendant(w, focus)) && w->parent)
                parent = w->parent->handle;
        }
        if (parent)
            SetFocus(parent);
    }
    SendMessageA(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    return TRUE;
}

namespace {

enum class Placement { Keep, Minimise, Maximise, Restore };

BOOL showWindow(HWND handle, int command)
{
    bool wasVisible;
    bool minimised;
    bool maximised;
    bool child;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w || isDesktop(w)) {
            SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasVisible = w->style & WS_VISIBLE;
        minimised = w->style & WS_MINIMIZE;
        maximised = w->style & WS_MAXIMIZE;
        child = isChildWindow(*w);
    }
    if (command == SW_HIDE) {
        if (!wasVisible)
            return FALSE;
        SendMessageA(handle, WM_SHOWWINDOW, FALSE, 0);
        setWindowPosition(handle, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }

    Placement placement = Placement::Keep;
    bool activate = true;
    switch (command) {
    case SW_SHOWMINIMIZED: placement = Placement::Minimise; break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        placement = Placement::Minimise;
        activate = false;
        break;
    case SW_SHOWMAXIMIZED: placement = Placement::Maximise; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
        placement = (minimised || maximised) ? Placement::Restore : Placement::Keep;
        break;
    case SW_SHOWNOACTIVATE:
        placement = (minimised || maximised) ? Placement::Restore : Placement::Keep;
        activate = false;
        break;
    case SW_SHOWNA: activate = false; break;
    default: break; // SW_SHOW
    }
    if ((placement == Placement::Minimise && minimised) || (placement == Placement::Maximise && maximised))
        placement = Placement::Keep;
    if (placement == Placement::Restore && minimised && command != SW_SHOWNOACTIVATE
        && SendMessageA(handle, WM_QUERYOPEN, 0, 0) == 0)
        return wasVisible;

    UINT flags = SWP_SHOWWINDOW | (activate && !child ? 0 : SWP_NOACTIVATE) | (child ? SWP_NOZORDER : 0);
    RECT target {};
    if (placement == Placement::Maximise) {
        MINMAXINFO info;
        {
            std::lock_guard guard(system().lock);
            Window* w = findWindow(handle);
            if (!w)
                return FALSE;
            info = defaultMinMax(*w);
        }
        SendMessageA(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        target = { info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
            info.ptMaxPosition.y + info.ptMaxSize.y };
    }
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w)
            return FALSE;
        const bool normalNow = !(w->style & (WS_MINIMIZE | WS_MAXIMIZE));
        switch (placement) {
        case Placement::Minimise:
            if (normalNow)
                w->normal = w->rect;
            w->restoreToMaximised = w->style & WS_MAXIMIZE;
            w->style = (w->style | WS_MINIMIZE) & ~static_cast<DWORD>(WS_MAXIMIZE);
            target = minimisedRect(*w);
            break;
        case Placement::Maximise:
            if (normalNow)
                w->normal = w->rect;
            w->style = (w->style | WS_MAXIMIZE) & ~static_cast<DWORD>(WS_MINIMIZE);
            break;
        case Placement::Restore:
            if ((w->style & WS_MINIMIZE) && w->restoreToMaximised) {
                // Back to the maximised state it was minimised from.
                w->style = (w->style | WS_MAXIMIZE) & ~static_cast<DWORD>(WS_MINIMIZE);
                w->restoreToMaximised = false;
                const MINMAXINFO info = defaultMinMax(*w);
                target = { info.ptMaxPosition.x, info.ptMaxPosition.y, info.ptMaxPosition.x + info.ptMaxSize.x,
                    info.ptMaxPosition.y + info.ptMaxSize.y };
            } else {
                w->style &= ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE);
                target = w->normal;
            }
            break;
        case Placement::Keep: break;
        }
    }
    if (!wasVisible)
        SendMessageA(handle, WM_SHOWWINDOW, TRUE, 0);
    if (placement == Placement::Keep)
        setWindowPosition(handle, HWND_TOP, 0, 0, 0, 0, flags | SWP_NOSIZE | SWP_NOMOVE);
    else
        setWindowPosition(handle, HWND_TOP, target.left, target.top, width(target), height(target),
            flags | SWP_FRAMECHANGED);
    if (placement == Placement::Minimise) {
        dropFocusWithin(handle);
        if (!activate)
            activateOtherThan(handle);
    }
    return wasVisible;
}

template<typename Read>
BOOL readRect(HWND window, LPRECT rect, Read read)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!rect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *rect = read(*w);
    return TRUE;
}

int mapPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    std::lock_guard guard(system().lock);
    Window* source = from ? findWindow(from) : system().desktop.get();
    Window* target = to ? findWindow(to) : system().desktop.get();
    if (!source || !target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const POINT a = clientOrigin(source);
    const POINT b = clientOrigin(target);
    const int dx = a.x - b.x;
    const int dy = a.y - b.y;
    if (points) {
        for (UINT i = 0; i < count; ++i) {
            points[i].x += dx;
            points[i].y += dy;
        }
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

}

}

using namespace winapi::user;

extern "C" {

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    if (winapi::injectedFailure("SetWindowPos"))
        return FALSE;
    if (auto forwarded = forwardToOwner(window, [=] {
            return static_cast<LRESULT>(setWindowPosition(window, insertAfter, x, y, width, height, flags));
        }))
        return static_cast<BOOL>(*forwarded);
    return setWindowPosition(window, insertAfter, x, y, width, height, flags);
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    if (winapi::injectedFailure("MoveWindow"))
        return FALSE;
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
    if (auto forwarded = forwardToOwner(window,
            [=] { return static_cast<LRESULT>(setWindowPosition(window, nullptr, x, y, width, height, flags)); }))
        return static_cast<BOOL>(*forwarded);
    return setWindowPosition(window, nullptr, x, y, width, height, flags);
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    if (command < SW_HIDE || command > SW_MAX) {
        SetLastError(ERROR_INVALID_SHOWWIN_COMMAND);
        return FALSE;
    }
    if (auto forwarded = forwardToOwner(window, [=] { return static_cast<LRESULT>(showWindow(window, command)); }))
        return static_cast<BOOL>(*forwarded);
    return showWindow(window, command);
}

BOOL WINAPI BringWindowToTop(HWND window)
{
    return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL WINAPI IsIconic(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL WINAPI IsZoomed(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    return readRect(window, rect, [](const Window& w) { return screenRect(&w); });
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    return readRect(window, rect, [](const Window& w) { return RECT { 0, 0, width(w.client), height(w.client) }; });
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    mapPoints(window, nullptr, point, 1);
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    mapPoints(nullptr, window, point, 1);
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    if (winapi::injectedFailure("MapWindowPoints"))
        return 0;
    // A mapping whose offset is zero both ways returns zero too; the cleared
    // code tells it from a failure, as on the platform.
    SetLastError(0);
    return mapPoints(from, to, points, count);
}

HWND WINAPI WindowFromPoint(POINT point)
{
    std::lock_guard guard(system().lock);
    return windowUnderPoint(point);
}

HWND WINAPI ChildWindowFromPointEx(HWND parent, POINT point, UINT flags)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(parent);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!contains({ 0, 0, width(w->client), height(w->client) }, point))
        return nullptr;
    return childAt(w, point, flags);
}

HWND WINAPI ChildWindowFromPoint(HWND parent, POINT point)
{
    return ChildWindowFromPointEx(parent, point, CWP_ALL);
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    // The layout of a probe rectangle gives the insets; scroll bars are not
    // counted, as the platform does not count them.
    const RECT probe { 0, 0, 1000, 1000 };
    const NonClientLayout layout = nonClientLayout(probe, style & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL | WS_MINIMIZE), exStyle, menu != FALSE);
    rect->left -= layout.client.left - probe.left;
    rect->top -= layout.client.top - probe.top;
    rect->right += probe.right - layout.client.right;
    rect->bottom += probe.bottom - layout.client.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (!rect)
        return FALSE;
    *rect = { left, top, right, bottom };
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL WINAPI CopyRect(LPRECT destination, const RECT* source)
{
    if (!destination || !source)
        return FALSE;
    *destination = *source;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    *rect = { rect->left - dx, rect->top - dy, rect->right + dx, rect->bottom + dy };
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy)
{
    if (!rect)
        return FALSE;
    *rect = offsetBy(*rect, dx, dy);
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* rect)
{
    return !rect || isEmpty(*rect);
}

BOOL WINAPI EqualRect(const RECT* first, const RECT* second)
{
    return first && second && std::memcmp(first, second, sizeof(RECT)) == 0;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT point)
{
    return rect && contains(*rect, point);
}

BOOL WINAPI IntersectRect(LPRECT destination, const RECT* first, const RECT* second)
{
    if (!destination || !first || !second)
        return FALSE;
    *destination = intersect(*first, *second);
    return !isEmpty(*destination);
}

BOOL WINAPI UnionRect(LPRECT destination, const RECT* first, const RECT* second)
{
    if (!destination || !first || !second)
        return FALSE;
    *destination = unite(*first, *second);
    if (isEmpty(*destination))
        *destination = {};
    return !isEmpty(*destination);
}

BOOL WINAPI SubtractRect(LPRECT destination, const RECT* first, const RECT* second)
{
    if (!destination || !first || !second)
        return FALSE;
    RECT result = *first;
    const RECT common = intersect(*first, *second);
    // Only a cut across a whole side leaves a rectangle.
    if (!isEmpty(common)) {
        if (common.left == result.left && common.right == result.right) {
            if (common.top == result.top)
                result.top = common.bottom;
            else if (common.bottom == result.bottom)
                result.bottom = common.top;
        } else if (common.top == result.top && common.bottom == result.bottom) {
            if (common.left == result.left)
                result.left = common.right;
            else if (common.right == result.right)
                result.right = common.left;
        }
    }
    *destination = isEmpty(result) ? RECT {} : result;
    return !isEmpty(*destination);
}

}
