// Update regions and painting, and the caret. An update region is kept as
// one rectangle (the union of what was invalidated) with a flag for a
// pending erase; while a window has one, the queue of its thread yields
// WM_PAINT once nothing else is waiting. Device contexts arrive with the
// drawing layer: until then BeginPaint validates, erases through
// WM_ERASEBKGND and hands out no device context.
#include "core/Faults.h"
#include "user/State.h"

namespace winapi::user {
namespace {

RECT clientArea(const Window* w)
{
    return { 0, 0, width(w->client), height(w->client) };
}

Window* paintCandidate(Window* w, const ThreadQueue& queue, HWND filter)
{
    if (!(w->style & WS_VISIBLE) && !isDesktop(w))
        return nullptr;
    if (w->queue.get() == &queue && !isEmpty(w->update) && filterAccepts(w->handle, WM_PAINT, filter, 0, 0))
        return w;
    for (Window* child : w->children) {
        if (Window* found = paintCandidate(child, queue, filter))
            return found;
    }
    return nullptr;
}

void updateNow(HWND window, bool children)
{
    bool pending;
    std::vector<HWND> kids;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w)
            return;
        pending = !isEmpty(w->update);
        if (children) {
            for (Window* child : w->children)
                kids.push_back(child->handle);
        }
    }
    if (pending)
        SendMessageA(window, WM_PAINT, 0, 0);
    for (HWND child : kids)
        updateNow(child, true);
}

}

void invalidate(Window* w, const RECT* area, bool erase, bool children)
{
    if (!visibleOnScreen(w) || isDesktop(w))
        return;
    const RECT full = clientArea(w);
    const RECT part = area ? intersect(*area, full) : full;
    if (isEmpty(part))
        return;
    w->update = unite(w->update, part);
    w->erase = w->erase || erase;
    if (w->queue) {
        ++w->queue->arrivals;
        w->queue->wake.notify_all();
    }
    if (!children || (w->style & WS_CLIPCHILDREN))
        return;
    for (Window* child : w->children) {
        const RECT inChild = offsetBy(part, -child->client.left, -child->client.top);
        invalidate(child, &inChild, erase, true);
    }
}

void validate(Window* w, const RECT* area)
{
    if (!area) {
        w->update = {};
        w->erase = false;
        return;
    }
    RECT rest;
    SubtractRect(&rest, &w->update, area);
    w->update = rest;
    if (isEmpty(rest))
        w->erase = false;
}

Window* windowToPaint(const ThreadQueue& queue, HWND filter)
{
    return paintCandidate(system().desktop.get(), queue, filter);
}

}

using namespace winapi::user;

extern "C" {

BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    if (winapi::injectedFailure("InvalidateRect"))
        return FALSE;
    std::lock_guard guard(system().lock);
    if (!window) {
        // Every window on the screen.
        for (Window* top : system().desktop->children)
            invalidate(top, nullptr, true, true);
        return TRUE;
    }
    Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    invalidate(w, rect, erase != FALSE, true);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND window, const RECT* rect)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    validate(w, rect);
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND window, LPRECT rect, BOOL)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (rect)
        *rect = w->update;
    return isEmpty(w->update) ? FALSE : TRUE;
}

BOOL WINAPI UpdateWindow(HWND window)
{
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    updateNow(window, true);
    return TRUE;
}

BOOL WINAPI RedrawWindow(HWND window, const RECT* rect, HRGN, UINT flags)
{
    {
        std::lock_guard guard(system().lock);
        Window* w = window ? findWindow(window) : system().desktop.get();
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        const bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
        if (flags & RDW_INVALIDATE) {
            if (isDesktop(w)) {
                for (Window* top : w->children)
                    invalidate(top, nullptr, flags & RDW_ERASE, true);
            } else {
                invalidate(w, rect, flags & RDW_ERASE, children);
            }
        }
        if (flags & RDW_VALIDATE)
            validate(w, rect);
        if (flags & RDW_NOERASE)
            w->erase = false;
    }
    if (flags & RDW_UPDATENOW)
        updateNow(window, !(flags & RDW_NOCHILDREN));
    return TRUE;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    if (!paint) {
        SetLastError(ERROR_NOACCESS);
        return nullptr;
    }
    *paint = PAINTSTRUCT {};
    bool erase;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        paint->rcPaint = w->update;
        erase = w->erase;
        validate(w, nullptr);
        ThreadQueue& queue = currentQueue();
        if (queue.caret.owner == window && !queue.caretHiddenForPaint) {
            ++queue.caret.hideCount;
            queue.caretHiddenForPaint = true;
        }
    }
    // The window erases its background itself when it answers non-zero.
    paint->fErase = erase ? !SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) : FALSE;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT*)
{
    std::lock_guard guard(system().lock);
    ThreadQueue& queue = currentQueue();
    if (queue.caretHiddenForPaint && queue.caret.owner == window) {
        queue.caretHiddenForPaint = false;
        if (queue.caret.hideCount > 0)
            --queue.caret.hideCount;
    }
    return TRUE;
}

BOOL WINAPI CreateCaret(HWND window, HBITMAP bitmap, int width, int height)
{
    if (winapi::injectedFailure("CreateCaret"))
        return FALSE;
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!ownedByCurrentThread(*w)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    ThreadQueue& queue = currentQueue();
    // A new caret replaces the thread's old one and starts hidden.
    queue.caret = Caret { window, bitmap, width > 0 ? width : GetSystemMetrics(SM_CXBORDER),
        height > 0 ? height : GetSystemMetrics(SM_CYBORDER), POINT {}, 1 };
    queue.caretHiddenForPaint = false;
    return TRUE;
}

BOOL WINAPI DestroyCaret(void)
{
    std::lock_guard guard(system().lock);
    ThreadQueue& queue = currentQueue();
    if (!queue.caret.owner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    queue.caret = Caret {};
    queue.caretHiddenForPaint = false;
    return TRUE;
}

BOOL WINAPI HideCaret(HWND window)
{
    std::lock_guard guard(system().lock);
    Caret& caret = currentQueue().caret;
    if (!caret.owner || (window && window != caret.owner)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    ++caret.hideCount;
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND window)
{
    std::lock_guard guard(system().lock);
    Caret& caret = currentQueue().caret;
    if (!caret.owner || (window && window != caret.owner)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (caret.hideCount > 0)
        --caret.hideCount;
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y)
{
    std::lock_guard guard(system().lock);
    Caret& caret = currentQueue().caret;
    if (!caret.owner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    caret.position = { x, y };
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::lock_guard guard(system().lock);
    *point = currentQueue().caret.position;
    return TRUE;
}

UINT WINAPI GetCaretBlinkTime(void)
{
    return 530;
}

}
