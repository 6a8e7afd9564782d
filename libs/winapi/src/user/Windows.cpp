// Windows: creation and destruction with the platform's message order, the
// parent, owner and sibling relations, window values (GetWindowLongA and
// friends), window texts, and enumeration.
#include "core/Faults.h"
#include "user/Dialogs.h"
#include "user/State.h"

#include <cstring>

namespace winapi::user {
namespace {

// The platform's default quota of window handles for one process.
constexpr std::size_t maxWindows = 10000;

POINT nextDefaultPosition()
{
    // Cascade new default-placed windows from the screen's corner.
    static int step = 0;
    const int offset = 26 * (step++ % 10);
    return { 26 + offset, 26 + offset };
}

void sendParentNotify(HWND handle, WORD event)
{
    std::vector<std::pair<HWND, WPARAM>> targets;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w)
            return;
        const WPARAM wParam = MAKEWPARAM(event, static_cast<WORD>(w->id));
        for (Window* c = w; isChildWindow(*c) && !(c->exStyle & WS_EX_NOPARENTNOTIFY); c = c->parent)
            targets.emplace_back(c->parent->handle, wParam);
    }
    for (const auto& [parent, wParam] : targets)
        SendMessageA(parent, WM_PARENTNOTIFY, wParam, reinterpret_cast<LPARAM>(handle));
}

void collectPreorder(Window* w, std::vector<HWND>& out)
{
    out.push_back(w->handle);
    for (Window* child : w->children)
        collectPreorder(child, out);
}

void collectPostorder(Window* w, std::vector<HWND>& out)
{
    for (Window* child : w->children)
        collectPostorder(child, out);
    out.push_back(w->handle);
}

// The window leaves the tree and the table; its handle goes stale.
void releaseWindow(HWND handle)
{
    HMENU menu = nullptr;
    std::shared_ptr<Window> keep;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w)
            return;
        keep = sharedWindow(handle);
        w->phase = Window::Phase::Gone;
        if (!isChildWindow(*w))
            menu = w->menu;
        for (Window* child : std::vector<Window*>(w->children))
            child->parent = nullptr;
        w->children.clear();
        unlink(w);
        w->parent = nullptr;
        w->owner = nullptr;
        system().windows.forEach([&](std::uint32_t, const WindowEntry& entry) {
            if (entry.window->owner == w)
                entry.window->owner = nullptr;
        });
        forgetWindowInQueues(handle);
        --w->windowClass->windows;
        system().windows.remove(handle);
    }
    if (menu)
        DestroyMenu(menu);
    if (keep->dialog && keep->dialog->ownsFont && keep->dialog->templateFont)
        DeleteObject(keep->dialog->templateFont);
}

// Calls back for each window that still exists, until the callback says stop.
BOOL callEach(const std::vector<HWND>& handles, WNDENUMPROC callback, LPARAM parameter)
{
    for (HWND handle : handles) {
        if (IsWindow(handle) && !callback(handle, parameter))
            return FALSE;
    }
    return TRUE;
}

BOOL destroyWindow(HWND handle)
{
    std::vector<HWND> owned;
    bool child;
    bool visible;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (isDesktop(w)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (w->phase == Window::Phase::Destroying)
            return TRUE;
        w->phase = Window::Phase::Destroying;
        child = isChildWindow(*w);
        visible = w->style & WS_VISIBLE;
        system().windows.forEach([&](std::uint32_t value, const WindowEntry& entry) {
            if (entry.window->owner == w)
                owned.push_back(toHwnd(value));
        });
    }
    if (child)
        sendParentNotify(handle, WM_DESTROY);
    for (HWND window : owned)
        DestroyWindow(window);
    if (visible)
        setWindowPosition(handle, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    activateOtherThan(handle);

    HWND newFocus = nullptr;
    bool moveFocus = false;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        ThreadQueue& queue = currentQueue();
        Window* focus = findWindow(queue.focus);
        if (w && child && focus && (focus == w || isDescendant(w, focus))) {
            moveFocus = true;
            newFocus = w->parent ? w->parent->handle : nullptr;
        }
        if (w && queue.capture) {
            Window* capture = findWindow(queue.capture);
            if (capture == w || isDescendant(w, capture))
                queue.capture = nullptr;
        }
        if (w && queue.caret.owner) {
            Window* owner = findWindow(queue.caret.owner);
            if (owner == w || isDescendant(w, owner))
                queue.caret = Caret {};
        }
    }
    if (moveFocus)
        SetFocus(newFocus);

    std::vector<HWND> order;
    {
        std::lock_guard guard(system().lock);
        if (Window* w = findWindow(handle)) {
            collectPreorder(w, order);
            for (HWND h : order) {
                if (Window* d = findWindow(h))
                    d->phase = Window::Phase::Destroying;
            }
        }
    }
    for (HWND window : order)
        SendMessageA(window, WM_DESTROY, 0, 0);

    order.clear();
    {
        std::lock_guard guard(system().lock);
        if (Window* w = findWindow(handle))
            collectPostorder(w, order);
    }
    for (HWND window : order) {
        SendMessageA(window, WM_NCDESTROY, 0, 0);
        releaseWindow(window);
    }
    return TRUE;
}

// Window values by index: the negative GWL_ indices, the dialog values of
// dialog windows, or extra bytes. `size` is 4 for the LONG calls and the
// pointer size for the LONG_PTR ones.
bool readWindowValue(const Window& w, int index, std::size_t size, LONG_PTR& value)
{
    const bool narrow = size == sizeof(LONG);
    switch (index) {
    case GWL_WNDPROC:
        value = narrow ? procedureToLong(reinterpret_cast<const void*>(w.procedure))
                       : reinterpret_cast<LONG_PTR>(w.procedure);
        return true;
    case GWL_HINSTANCE: value = reinterpret_cast<LONG_PTR>(w.instance); return true;
    case GWL_HWNDPARENT:
        value = reinterpret_cast<LONG_PTR>(isChildWindow(w) ? w.parent->handle : w.owner ? w.owner->handle : nullptr);
        return true;
    case GWL_ID:
        value = isChildWindow(w) ? static_cast<LONG_PTR>(w.id) : reinterpret_cast<LONG_PTR>(w.menu);
        return true;
    case GWL_STYLE: value = static_cast<LONG>(w.style); return true;
    case GWL_EXSTYLE: value = static_cast<LONG>(w.exStyle); return true;
    case GWL_USERDATA: value = w.userData; return true;
    default: break;
    }
    if (w.dialog && index >= 0) {
        const std::size_t slot = narrow ? sizeof(LONG) : sizeof(LONG_PTR);
        if (index == 0) {
            value = w.dialog->messageResult;
            return true;
        }
        if (static_cast<std::size_t>(index) == slot) {
            value = narrow ? procedureToLong(reinterpret_cast<const void*>(w.dialog->procedure))
                           : reinterpret_cast<LONG_PTR>(w.dialog->procedure);
            return true;
        }
        if (static_cast<std::size_t>(index) == 2 * slot) {
            value = w.dialog->user;
            return true;
        }
    }
    if (index < 0 || static_cast<std::size_t>(index) + size > w.extra.size())
        return false;
    value = 0;
    if (narrow) {
        LONG narrowValue = 0;
        std::memcpy(&narrowValue, w.extra.data() + index, sizeof narrowValue);
        value = narrowValue;
    } else {
        std::memcpy(&value, w.extra.data() + index, size);
    }
    return true;
}

bool writeWindowValue(Window& w, int index, std::size_t size, LONG_PTR value)
{
    const bool narrow = size == sizeof(LONG);
    switch (index) {
    case GWL_WNDPROC:
        w.procedure = narrow ? reinterpret_cast<WNDPROC>(const_cast<void*>(procedureFromLong(static_cast<LONG>(value))))
                             : reinterpret_cast<WNDPROC>(value);
        return true;
    case GWL_HINSTANCE: w.instance = reinterpret_cast<HINSTANCE>(value); return true;
    case GWL_HWNDPARENT:
        if (!isChildWindow(w)) {
            Window* owner = findWindow(reinterpret_cast<HWND>(value));
            w.owner = owner && !isDesktop(owner) ? topLevelOf(owner) : nullptr;
        }
        return true;
    case GWL_ID:
        if (isChildWindow(w))
            w.id = static_cast<UINT_PTR>(value);
        else
            w.menu = reinterpret_cast<HMENU>(value);
        return true;
    case GWL_STYLE: w.style = static_cast<DWORD>(value); return true;
    case GWL_EXSTYLE: w.exStyle = static_cast<DWORD>(value); return true;
    case GWL_USERDATA: w.userData = value; return true;
    default: break;
    }
    if (w.dialog && index >= 0) {
        const std::size_t slot = narrow ? sizeof(LONG) : sizeof(LONG_PTR);
        if (index == 0) {
            w.dialog->messageResult = value;
            return true;
        }
        if (static_cast<std::size_t>(index) == slot) {
            w.dialog->procedure = narrow ? reinterpret_cast<DLGPROC>(const_cast<void*>(procedureFromLong(static_cast<LONG>(value))))
                                         : reinterpret_cast<DLGPROC>(value);
            return true;
        }
        if (static_cast<std::size_t>(index) == 2 * slot) {
            w.dialog->user = value;
            return true;
        }
    }
    if (narrow) {
        const LONG narrowValue = static_cast<LONG>(value);
        std::memcpy(w.extra.data() + index, &narrowValue, sizeof narrowValue);
    } else {
        std::memcpy(w.extra.data() + index, &value, size);
    }
    return true;
}

LONG_PTR getWindowValue(HWND window, int index, std::size_t size)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR value = 0;
    if (!readWindowValue(*w, index, size, value)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return value;
}

LONG_PTR setWindowValue(HWND window, int index, std::size_t size, LONG_PTR value, const char* operation)
{
    if (winapi::injectedFailure(operation))
        return 0;
    LONG_PTR previous = 0;
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w || isDesktop(w)) {
            SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        if (!readWindowValue(*w, index, size, previous)) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        if (index != GWL_STYLE && index != GWL_EXSTYLE) {
            writeWindowValue(*w, index, size, value);
            return previous;
        }
    }
    // Style changes are announced before and after; the window may change
    // the new style while it is announced.
    STYLESTRUCT change { static_cast<DWORD>(previous), static_cast<DWORD>(value) };
    SendMessageA(window, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(window);
        if (!w) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        writeWindowValue(*w, index, size, static_cast<LONG>(change.styleNew));
    }
    SendMessageA(window, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
    return previous;
}

}

HWND createWindow(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int cx, int cy,
    HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter, std::unique_ptr<DialogState> dialog)
{
    const bool child = style & WS_CHILD;
    const bool wantsVisible = style & WS_VISIBLE;
    const DWORD placement = style & (WS_MINIMIZE | WS_MAXIMIZE);
    if (!(style & (WS_CHILD | WS_POPUP)))
        style |= WS_CAPTION | WS_CLIPSIBLINGS;
    if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_DLGFRAME | WS_THICKFRAME)))
        exStyle |= WS_EX_WINDOWEDGE;
    style &= ~static_cast<DWORD>(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);

    HWND handle = nullptr;
    bool sendMinMax = false;
    bool loadClassMenu = false;
    LPCSTR classMenu = nullptr;
    std::string classMenuName;
    {
        std::lock_guard guard(system().lock);
        System& s = system();
        const std::shared_ptr<WindowClass> windowClass = findClass(className);
        if (!windowClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Window* parentWindow = s.desktop.get();
        Window* owner = nullptr;
        if (child) {
            if (!parent) {
                SetLastError(ERROR_TLW_WITH_WSCHILD);
                return nullptr;
            }
            parentWindow = findWindow(parent);
            if (!parentWindow || parentWindow->phase == Window::Phase::Destroying) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
        } else if (parent) {
            Window* given = findWindow(parent);
            if (!given) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
            owner = isDesktop(given) ? nullptr : topLevelOf(given);
        }
        if (s.windows.size() >= maxWindows) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }

        // CW_USEDEFAULT places and sizes overlapped windows; elsewhere it
        // means zero.
        const bool overlapped = !(style & (WS_CHILD | WS_POPUP));
        if (x == CW_USEDEFAULT) {
            if (overlapped) {
                const POINT p = nextDefaultPosition();
                x = p.x;
                y = p.y;
            } else {
                x = y = 0;
            }
        }
        if (cx == CW_USEDEFAULT) {
            if (overlapped) {
                cx = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
                cy = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
            } else {
                cx = cy = 0;
            }
        }
        cx = std::max(0, cx);
        cy = std::max(0, cy);

        auto w = std::make_shared<Window>();
        w->windowClass = windowClass;
        w->queue = currentQueuePointer();
        w->style = style;
        w->exStyle = exStyle;
        w->procedure = windowClass->procedure;
        w->instance = instance;
        if (child)
            w->id = reinterpret_cast<UINT_PTR>(menu);
        else
            w->menu = menu;
        w->extra.assign(static_cast<std::size_t>(windowClass->windowExtra), 0);
        w->dialog = std::move(dialog);
        w->owner = owner;
        w->rect = { x, y, x + cx, y + cy };
        w->client = w->rect;
        w->normal = w->rect;
        const std::uint32_t value = s.windows.insert(std::make_unique<WindowEntry>(WindowEntry { w }));
        if (value == 0) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        handle = toHwnd(value);
        w->handle = handle;
        // Children join their siblings at the bottom, so that creation order
        // is the order of GW_HWNDNEXT (and of a dialog's tab stops).
        linkChild(parentWindow, w.get(), child ? HWND_BOTTOM : HWND_TOP);
        ++windowClass->windows;
        sendMinMax = (style & WS_THICKFRAME) || overlapped;
        if (!child && !menu && (windowClass->menuId || !windowClass->menuName.empty())) {
            loadClassMenu = true;
            classMenuName = windowClass->menuName;
            classMenu = windowClass->menuId ? MAKEINTRESOURCEA(windowClass->menuId) : classMenuName.c_str();
        }
    }
    if (loadClassMenu) {
        HMENU loaded = LoadMenuA(instance, classMenu);
        std::lock_guard guard(system().lock);
        if (Window* w = findWindow(handle))
            w->menu = loaded;
    }

    if (sendMinMax) {
        MINMAXINFO info {};
        info.ptMinTrackSize = { GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK) };
        info.ptMaxTrackSize = { GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK) };
        const int frame = 2 * GetSystemMetrics(SM_CXFRAME);
        info.ptMaxSize = { GetSystemMetrics(SM_CXSCREEN) + frame, GetSystemMetrics(SM_CYSCREEN) + frame };
        info.ptMaxPosition = { -frame / 2, -frame / 2 };
        SendMessageA(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        std::lock_guard guard(system().lock);
        if (Window* w = findWindow(handle)) {
            cx = std::clamp(cx, std::min(info.ptMinTrackSize.x, info.ptMaxTrackSize.x), info.ptMaxTrackSize.x);
            cy = std::clamp(cy, std::min(info.ptMinTrackSize.y, info.ptMaxTrackSize.y), info.ptMaxTrackSize.y);
            w->rect.right = w->rect.left + cx;
            w->rect.bottom = w->rect.top + cy;
            w->client = w->rect;
            w->normal = w->rect;
        }
    }

    CREATESTRUCTA create { parameter, instance, menu, parent, cy, cx, y, x, static_cast<LONG>(style), windowName,
        className, exStyle };
    {
        std::lock_guard guard(system().lock);
        if (Window* w = findWindow(handle)) {
            create.x = w->rect.left;
            create.y = w->rect.top;
            create.cx = width(w->rect);
            create.cy = height(w->rect);
        }
    }
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        if (IsWindow(handle)) {
            SendMessageA(handle, WM_NCDESTROY, 0, 0);
            releaseWindow(handle);
        }
        return nullptr;
    }
    RECT client {};
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w)
            return nullptr;
        client = w->rect;
    }
    SendMessageA(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w)
            return nullptr;
        client.right = std::max(client.right, client.left);
        client.bottom = std::max(client.bottom, client.top);
        w->client = client;
        if (w->phase == Window::Phase::Creating)
            w->phase = Window::Phase::Live;
    }
    if (SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    POINT origin {};
    SIZE size {};
    {
        std::lock_guard guard(system().lock);
        Window* w = findWindow(handle);
        if (!w || w->phase != Window::Phase::Live)
            return nullptr;
        origin = { w->client.left, w->client.top };
        size = { width(w->client), height(w->client) };
    }
    SendMessageA(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (child)
        sendParentNotify(handle, WM_CREATE);
    if (wantsVisible && IsWindow(handle))
        ShowWindow(handle, placement & WS_MAXIMIZE ? SW_SHOWMAXIMIZED : placement & WS_MINIMIZE ? SW_SHOWMINIMIZED : SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

}

using namespace winapi::user;

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
    int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter)
{
    if (winapi::injectedFailure("CreateWindowExA"))
        return nullptr;
    return createWindow(exStyle, className, windowName, style, x, y, cx, cy, parent, menu, instance, parameter, nullptr);
}

BOOL WINAPI DestroyWindow(HWND window)
{
    if (winapi::injectedFailure("DestroyWindow"))
        return FALSE;
    if (auto forwarded = forwardToOwner(window, [=] { return static_cast<LRESULT>(destroyWindow(window)); }))
        return static_cast<BOOL>(*forwarded);
    return destroyWindow(window);
}

BOOL WINAPI IsWindow(HWND window)
{
    std::lock_guard guard(system().lock);
    return findWindow(window) ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND parent, HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* ancestor = findWindow(parent);
    Window* w = findWindow(window);
    if (!ancestor || !w)
        return FALSE;
    while (w && isChildWindow(*w)) {
        w = w->parent;
        if (w == ancestor)
            return TRUE;
    }
    return FALSE;
}

HWND WINAPI GetParent(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (isChildWindow(*w))
        return w->parent->handle;
    if ((w->style & WS_POPUP) && w->owner)
        return w->owner->handle;
    return nullptr;
}

HWND WINAPI GetAncestor(HWND window, UINT kind)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    if (!w || isDesktop(w)) {
        if (!w)
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    switch (kind) {
    case GA_PARENT: return w->parent ? w->parent->handle : nullptr;
    case GA_ROOT: return topLevelOf(w)->handle;
    case GA_ROOTOWNER: {
        Window* root = topLevelOf(w);
        while (root->owner)
            root = root->owner;
        return root->handle;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

HWND WINAPI SetParent(HWND window, HWND newParent)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    Window* parent = newParent ? findWindow(newParent) : system().desktop.get();
    if (!w || !parent || isDesktop(w)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (parent == w || isDescendant(w, parent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HWND previous = w->parent ? w->parent->handle : nullptr;
    linkChild(parent, w, HWND_TOP);
    return previous;
}

HWND WINAPI GetWindow(HWND window, UINT command)
{
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const auto& siblings = w->parent ? w->parent->children : std::vector<Window*> {};
    const auto position = std::find(siblings.begin(), siblings.end(), w);
    switch (command) {
    case GW_HWNDFIRST: return siblings.empty() ? w->handle : siblings.front()->handle;
    case GW_HWNDLAST: return siblings.empty() ? w->handle : siblings.back()->handle;
    case GW_HWNDNEXT:
        return position == siblings.end() || position + 1 == siblings.end() ? nullptr : (*(position + 1))->handle;
    case GW_HWNDPREV:
        return position == siblings.end() || position == siblings.begin() ? nullptr : (*(position - 1))->handle;
    case GW_OWNER: return w->owner ? w->owner->handle : nullptr;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_ENABLEDPOPUP: {
        // The owned, visible and enabled window that stands for a disabled owner.
        for (Window* top : system().desktop->children) {
            if (top->owner == w && (top->style & WS_VISIBLE) && !(top->style & WS_DISABLED))
                return top->handle;
        }
        return nullptr;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

HWND WINAPI GetTopWindow(HWND window)
{
    return GetWindow(window ? window : GetDesktopWindow(), GW_CHILD);
}

HWND WINAPI GetDesktopWindow(void)
{
    std::lock_guard guard(system().lock);
    return system().desktop->handle;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName)
{
    std::lock_guard guard(system().lock);
    const std::shared_ptr<WindowClass> wanted = className ? findClass(className) : nullptr;
    if (className && !wanted) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    for (Window* top : system().desktop->children) {
        if (wanted && top->windowClass != wanted)
            continue;
        if (windowName && upperCase(top->text) != upperCase(windowName))
            continue;
        return top->handle;
    }
    return nullptr;
}

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM parameter)
{
    std::vector<HWND> handles;
    {
        std::lock_guard guard(system().lock);
        Window* w = parent ? findWindow(parent) : system().desktop.get();
        if (!w || !callback) {
            SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        // Without a parent it is EnumWindows: the top-level windows alone.
        for (Window* child : w->children) {
            if (parent)
                collectPreorder(child, handles);
            else
                handles.push_back(child->handle);
        }
    }
    return callEach(handles, callback, parameter);
}

BOOL WINAPI EnumWindows(WNDENUMPROC callback, LPARAM parameter)
{
    std::vector<HWND> handles;
    {
        std::lock_guard guard(system().lock);
        for (Window* top : system().desktop->children)
            handles.push_back(top->handle);
    }
    if (!callback) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return callEach(handles, callback, parameter);
}

BOOL WINAPI EnumThreadWindows(DWORD threadId, WNDENUMPROC callback, LPARAM parameter)
{
    std::vector<HWND> handles;
    {
        std::lock_guard guard(system().lock);
        for (Window* top : system().desktop->children) {
            if (top->queue && top->queue->threadId == threadId)
                handles.push_back(top->handle);
        }
    }
    if (!callback) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return callEach(handles, callback, parameter);
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (processId)
        *processId = GetCurrentProcessId();
    return w->queue ? w->queue->threadId : 0;
}

LONG WINAPI GetWindowLongA(HWND window, int index)
{
    return static_cast<LONG>(getWindowValue(window, index, sizeof(LONG)));
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value)
{
    return static_cast<LONG>(setWindowValue(window, index, sizeof(LONG), value, "SetWindowLongA"));
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index)
{
    return getWindowValue(window, index, sizeof(LONG_PTR));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value)
{
    return setWindowValue(window, index, sizeof(LONG_PTR), value, "SetWindowLongPtrA");
}

WORD WINAPI GetWindowWord(HWND window, int index)
{
    if (index < 0) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (static_cast<std::size_t>(index) + sizeof(WORD) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WORD value = 0;
    std::memcpy(&value, w->extra.data() + index, sizeof value);
    return value;
}

WORD WINAPI SetWindowWord(HWND window, int index, WORD value)
{
    if (index < 0) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    std::lock_guard guard(system().lock);
    Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (static_cast<std::size_t>(index) + sizeof(WORD) > w->extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    WORD previous = 0;
    std::memcpy(&previous, w->extra.data() + index, sizeof previous);
    std::memcpy(w->extra.data() + index, &value, sizeof value);
    return previous;
}

LRESULT WINAPI CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!procedure)
        return 0;
    const auto value = reinterpret_cast<std::uintptr_t>(procedure);
    if (value <= 0xFFFFFFFFu) {
        std::unique_lock guard(system().lock);
        procedure = reinterpret_cast<WNDPROC>(const_cast<void*>(procedureFromLong(static_cast<LONG>(value))));
        guard.unlock();
        if (!procedure)
            return 0;
    }
    return procedure(window, message, wParam, lParam);
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int bufferSize)
{
    if (!buffer || bufferSize <= 0)
        return 0;
    buffer[0] = '\0';
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(bufferSize),
        reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window)
{
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text)
{
    if (winapi::injectedFailure("SetWindowTextA"))
        return FALSE;
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) > 0 ? TRUE : FALSE;
}

int WINAPI GetDlgCtrlID(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return isChildWindow(*w) ? static_cast<int>(w->id) : 0;
}

BOOL WINAPI IsWindowVisible(HWND window)
{
    std::lock_guard guard(system().lock);
    return visibleOnScreen(findWindow(window)) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return (w->style & WS_DISABLED) ? FALSE : TRUE;
}

}
