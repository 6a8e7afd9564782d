// Activation, the keyboard focus and enabling. Each thread has its own
// active window and focus; one window of the process is the foreground
// window, whose thread receives the keyboard.
//
// Activating a window B while A is active, in the platform's order:
//  1. A: WM_NCACTIVATE(FALSE), then WM_ACTIVATE(WA_INACTIVE, B).
//  2. When the foreground moves to another thread: WM_ACTIVATEAPP(FALSE)
//     to the old thread's top-level windows, WM_ACTIVATEAPP(TRUE) to the
//     new one's.
//  3. B: WM_NCACTIVATE(TRUE), then WM_ACTIVATE(WA_ACTIVE or
//     WA_CLICKACTIVE, A); DefWindowProcA gives B the focus there, with
//     WM_KILLFOCUS to the old focus and WM_SETFOCUS to B.
//  4. A focus left outside B is taken away.
// The raised window moves to the top of the z-order without messages of its own.
#include "core/Faults.h"
#include "user/State.h"

namespace winapi::user {
namespace {

std::vector<HWND> topLevelWindowsOfThread(DWORD threadId)
{
    std::vector<HWND> result;
    for (Window* top : system().desktop->children) {
        if (top->queue && top->queue->threadId == threadId)
            result.push_back(top->handle);
    }
    return result;
}

bool activatable(const Window* w)
{
    return w && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && !(w->style & WS_MINIMIZE);
}

}

void activateWindow(HWND handle, WORD how, bool takeForeground)
{
    HWND old;
    bool oldMinimised = false;
    bool newMinimised = false;
    bool foregroundMoves = false;
    DWORD oldForegroundThread = 0;
    DWORD myThread = GetCurrentThreadId();
    std::vector<HWND> losingApp;
    std::vector<HWND> gainingApp;
    {
        std::lock_guard guard(system().lock);
        System& s = system();
        ThreadQueue& queue = currentQueue();
        Window* w = handle ? findWindow(handle) : nullptr;
        if (handle && (!w || !ownedByCurrentThread(*w) || isChildWindow(*w) || isDesktop(w)))
            return;
        old = findWindow(queue.active) ? queue.active : nullptr;
        if (Window* o = findWindow(old))
            oldMinimised = o->style & WS_MINIMIZE;
        if (w) {
            newMinimised = w->style & WS_MINIMIZE;
            linkChild(w->parent, w, HWND_TOP);
            // Owned windows stay above their owner.
            std::vector<Window*> owned;
            for (Window* top : w->parent->children) {
                for (Window* o = top->owner; o; o = o->owner) {
                    if (o == w) {
                        owned.push_back(top);
                        break;
                    }
                }
            }
            for (auto it = owned.rbegin(); it != owned.rend(); ++it)
                linkChild(w->parent, *it, HWND_TOP);
        }
        Window* foreground = findWindow(s.foreground);
        const DWORD foregroundThread = foreground && foreground->queue ? foreground->queue->threadId : 0;
        if (w && (takeForeground || !foreground || foregroundThread == myThread)) {
            foregroundMoves = foregroundThread != myThread;
            oldForegroundThread = foregroundThread;
            s.foreground = handle;
            if (foregroundMoves) {
                if (foregroundThread)
                    losingApp = topLevelWindowsOfThread(foregroundThread);
                gainingApp = topLevelWindowsOfThread(myThread);
            }
        } else if (!w && foreground && foregroundThread == myThread) {
            s.foreground = nullptr;
        }
        if (old == handle && !foregroundMoves)
            return;
        queue.active = handle;
    }
    if (old && old != handle) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(handle));
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, oldMinimised), reinterpret_cast<LPARAM>(handle));
    }
    for (HWND window : losingApp)
        SendNotifyMessageA(window, WM_ACTIVATEAPP, FALSE, static_cast<LPARAM>(myThread));
    for (HWND window : gainingApp)
        SendMessageA(window, WM_ACTIVATEAPP, TRUE, static_cast<LPARAM>(oldForegroundThread));
    if (old == handle)
        return;
    if (handle && IsWindow(handle)) {
        SendMessageA(handle, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
        SendMessageA(handle, WM_ACTIVATE, MAKEWPARAM(how, newMinimised), reinterpret_cast<LPARAM>(old));
    }
    bool dropFocus = false;
    {
        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        Window* focus = findWindow(queue.focus);
        Window* active = findWindow(queue.active);
        dropFocus = focus && (!active || topLevelOf(focus) != active);
    }
    if (dropFocus)
        SetFocus(nullptr);
}

void activateOtherThan(HWND handle)
{
    HWND next = nullptr;
    {
        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        if (queue.active != handle)
            return;
        Window* w = findWindow(handle);
        if (w && activatable(w->owner) && w->owner->phase != Window::Phase::Destroying
            && ownedByCurrentThread(*w->owner)) {
            next = w->owner->handle;
        } else {
            for (Window* top : system().desktop->children) {
                if (top != w && activatable(top) && top->queue.get() == &queue && top->phase == Window::Phase::Live
                    && !isDescendant(w, top) && top->owner != w) {
                    next = top->handle;
                    break;
                }
            }
        }
    }
    activateWindow(next, WA_ACTIVE, false);
}

void dropFocusWithin(HWND handle)
{
    bool drop;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        Window* focus = findWindow(currentQueue().focus);
        drop = w && focus && (focus == w || isDescendant(w, focus));
    }
    if (drop)
        SetFocus(nullptr);
}

namespace {

BOOL enableWindow(HWND handle, BOOL enable)
{
    bool wasDisabled;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasDisabled = w->style & WS_DISABLED;
        if (wasDisabled == !enable)
            return wasDisabled;
        if (enable)
            w->style &= ~static_cast<DWORD>(WS_DISABLED);
        else
            w->style |= WS_DISABLED;
        if (!enable) {
            ThreadQueue& queue = currentQueue();
            Window* capture = findWindow(queue.capture);
            if (capture && (capture == w || isDescendant(w, capture)))
                queue.capture = nullptr;
        }
    }
    if (!enable)
        dropFocusWithin(handle);
    SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

}

}

using namespace winapi::user;

extern "C" {

HWND WINAPI SetFocus(HWND window)
{
    HWND before;
    if (!window) {
        {
            std::lock_guard guard(system().lock);
            ThreadQueue& queue = currentQueue();
            before = queue.focus;
            queue.focus = nullptr;
        }
        if (before && IsWindow(before))
            SendMessageA(before, WM_KILLFOCUS, 0, 0);
        return before;
    }
    HWND top;
    bool activate;
    {
        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        Window* w = findWindow(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (!ownedByCurrentThread(*w) || isDesktop(w)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        // A disabled window, or one inside a minimised window, cannot take the focus.
        for (const Window* a = w; a && !isDesktop(a); a = a->parent) {
            if ((a->style & WS_DISABLED) || (a->style & WS_MINIMIZE))
                return nullptr;
            if (!isChildWindow(*a))
                break;
        }
        before = queue.focus;
        if (before == window)
            return before;
        top = topLevelOf(w)->handle;
        activate = queue.active != top;
    }
    if (activate)
        activateWindow(top, WA_ACTIVE, false);
    HWND previous;
    {
        std::lock_guard guard(system().lock);
        ThreadQueue& queue = currentQueue();
        if (!findWindow(window) || queue.focus == window)
            return before;
        previous = queue.focus;
        queue.focus = window;
    }
    if (previous && IsWindow(previous))
        SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    bool stillFocused;
    {
        std::lock_guard guard(system().lock);
        stillFocused = currentQueue().focus == window && findWindow(window);
    }
    if (stillFocused)
        SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return before;
}

HWND WINAPI GetFocus(void)
{
    std::lock_guard guard(system().lock);
    ThreadQueue& queue = currentQueue();
    return findWindow(queue.focus) ? queue.focus : nullptr;
}

HWND WINAPI SetActiveWindow(HWND window)
{
    HWND previous;
    HWND top;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w || isDesktop(w)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (!ownedByCurrentThread(*w)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        Window* t = topLevelOf(w);
        if (t->style & WS_DISABLED)
            return nullptr;
        previous = currentQueue().active;
        top = t->handle;
    }
    activateWindow(top, WA_ACTIVE, false);
    return previous;
}

HWND WINAPI GetActiveWindow(void)
{
    std::lock_guard guard(system().lock);
    ThreadQueue& queue = currentQueue();
    return findWindow(queue.active) ? queue.active : nullptr;
}

BOOL WINAPI SetForegroundWindow(HWND window)
{
    HWND top;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w || isDesktop(w)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        top = topLevelOf(w)->handle;
    }
    // Any thread may bring its windows forward: inside one process there is
    // nobody to protect from focus theft.
    const auto bringForward = [top] {
        activateWindow(top, WA_ACTIVE, true);
        return static_cast<LRESULT>(TRUE);
    };
    if (auto forwarded = forwardToOwner(top, bringForward))
        return static_cast<BOOL>(*forwarded);
    return static_cast<BOOL>(bringForward());
}

HWND WINAPI GetForegroundWindow(void)
{
    std::lock_guard guard(system().lock);
    return findWindow(system().foreground) ? system().foreground : nullptr;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable)
{
    if (winapi::injectedFailure("EnableWindow"))
        return FALSE;
    if (auto forwarded = forwardToOwner(window, [=] { return static_cast<LRESULT>(enableWindow(window, enable)); }))
        return static_cast<BOOL>(*forwarded);
    return enableWindow(window, enable);
}

}
