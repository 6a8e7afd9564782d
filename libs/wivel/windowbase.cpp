// WindowBase's properties and operations over the platform window, the
// handle registry with the pending window, windowProcedure with its
// recovery from failed message handling, the dispatch through handler maps
// and listeners, the standard listener, the destruction bookkeeping and the
// accelerator stage of the message loop.
#include "windowbase.h"

#include "application.h"
#include "colour.h"
#include "cursor_icon.h"
#include "dc.h"
#include "eventstr.h"
#include "gdiobject.h"

#include <cstring>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace wivel {
namespace {

struct Registry {
    std::recursive_mutex lock;
    std::unordered_map<HWND, WindowBase*> windows;
    WindowBase* pending = nullptr;
    std::thread::id pendingThread;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

WindowBase& requiredParent(WindowBase* parent)
{
    require(parent != nullptr, "a window made from a parent has one");
    return *parent;
}

constexpr UINT refreshFrameFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

static_assert(sizeof(Point) == sizeof(POINT), "points go to the platform as they are");
static_assert(sizeof(Rectangle) == 2 * sizeof(POINT), "a rectangle's corners are two points");

// A message for a handle that has no object and is not being created: it
// came to windowProcedure as the window procedure of a class, where the
// platform's default processing answers it, or as a dialog procedure, where
// FALSE hands it to the default dialog processing.
LRESULT unclaimedMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (GetWindowLongPtrA(handle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&windowProcedure))
        return DefWindowProcA(handle, message, wParam, lParam);
    return FALSE;
}

// Shows the failure and lets the user choose; the message counts as
// answered with 0 either way.
LRESULT recover(WindowBase& window, const char* what) noexcept
{
    int answer = IDNO;
    try {
        std::string text = what;
        text += "\n\nContinue anyway?\n(Pressing No will exit, losing any unsaved data)";
        answer = window.messageBox(text, "Internal Error", MB_YESNO | MB_ICONEXCLAMATION);
    } catch (...) {
        // Without the box there is no one to ask: the program ends.
        answer = IDNO;
    }
    if (answer == IDNO)
        PostQuitMessage(0);
    return 0;
}

}

WindowBaseException::WindowBaseException(const std::string& message)
    : WivelException(message)
{
}

MenuException::MenuException(const std::string& message)
    : WivelException(message)
{
}

// ---- Construction ---------------------------------------------------------

WindowBase::WindowBase(Application& application)
    : m_application(application)
    , m_dcState(std::make_unique<DCState>())
{
}

WindowBase::WindowBase(WindowBase* parent)
    : m_application(requiredParent(parent).application())
    , m_parent(parent)
    , m_dcState(std::make_unique<DCState>())
{
}

WindowBase::WindowBase(Application& application, HWND handle)
    : WindowBase(application)
{
    m_handle = handle;
}

WindowBase::WindowBase(WindowBase* parent, HWND handle)
    : WindowBase(parent)
{
    m_handle = handle;
}

WindowBase::~WindowBase()
{
    Registry& shared = registry();
    {
        std::scoped_lock guard(shared.lock);
        const auto entry = shared.windows.find(m_handle);
        if (entry != shared.windows.end() && entry->second == this)
            shared.windows.erase(entry);
        if (shared.pending == this)
            shared.pending = nullptr;
    }
    if (m_application.activeWindow() == this)
        m_application.activeWindow(nullptr);
}

void WindowBase::bind(HWND handle)
{
    m_handle = handle;
    m_initialised = false;
    m_destroySeen = false;
    m_ncDestroySeen = false;
}

void WindowBase::installPendingListeners()
{
    if (m_listenersInstalled)
        return;
    m_listenersInstalled = true;
    std::vector<Listener> addedEarlier = std::move(m_listeners);
    m_listeners.clear();
    installListeners();
    for (const Listener& listener : addedEarlier)
        addListener(listener.handler, listener.priority);
}

// ---- Object base ----------------------------------------------------------

std::string WindowBase::toString() const
{
    // Reading the text refreshes the remembered text, which is no part of
    // the object's value.
    return const_cast<WindowBase*>(this)->text();
}

std::size_t WindowBase::toHash() const { return std::hash<HWND> {}(handle()); }

bool WindowBase::equals(const Object* other) const
{
    const auto* window = dynamic_cast<const WindowBase*>(other);
    return window != nullptr && window->handle() == handle();
}

// ---- Operations -----------------------------------------------------------

INT_PTR WindowBase::show()
{
    if (handle() == nullptr)
        create();
    visible(true);
    return 0;
}

void WindowBase::focus() { SetFocus(handle()); }

void WindowBase::close(INT_PTR)
{
    if (canClose())
        DestroyWindow(handle());
}

int WindowBase::messageBox(const std::string& text, const std::string& caption, UINT style)
{
    return MessageBoxA(handle(), text.c_str(), caption.c_str(), style);
}

void WindowBase::enableMenuItem(UINT item, UINT flags)
{
    require((flags & ~static_cast<UINT>(MF_BYPOSITION | MF_GRAYED | MF_DISABLED)) == 0,
        "menu items are enabled with MF_BYPOSITION, MF_GRAYED and MF_DISABLED only");
    const BOOL previous = EnableMenuItem(GetMenu(handle()), item, flags);
    require(previous != -1, "the window's menu has the item");
}

void WindowBase::checkMenuItem(UINT item, UINT flags)
{
    require((flags & ~static_cast<UINT>(MF_BYPOSITION | MF_CHECKED)) == 0,
        "menu items are checked with MF_BYPOSITION and MF_CHECKED only");
    const DWORD previous = CheckMenuItem(GetMenu(handle()), item, flags);
    require(previous != static_cast<DWORD>(-1), "the window's menu has the item");
}

LRESULT WindowBase::sendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND window = handle();
    if (window == nullptr)
        throw WindowBaseException("Window message failed - window not created");
    return SendMessageA(window, message, wParam, lParam);
}

BOOL WindowBase::postMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(handle(), message, wParam, lParam);
}

void WindowBase::mapPoints(HWND from, HWND to, POINT* points, UINT count, const char* operation)
{
    // A mapping between two origins that coincide moves nothing and returns
    // zero as a failure does; only the last-error code tells them apart.
    SetLastError(0);
    const int offset = MapWindowPoints(from, to, points, count);
    checkUnknownAPI(offset != 0 || GetLastError() == 0, "MapWindowPoints", operation);
}

void WindowBase::toClientCoords(std::int32_t& x, std::int32_t& y)
{
    Point point(x, y);
    toClientCoords(point);
    x = point.x;
    y = point.y;
}

void WindowBase::toClientCoords(Point& point) { mapPoints(nullptr, handle(), &point, 1, "WindowBase.toClientCoords"); }

void WindowBase::toClientCoords(std::span<Point> points)
{
    mapPoints(nullptr, handle(), points.data(), static_cast<UINT>(points.size()), "WindowBase.toClientCoords");
}

void WindowBase::toClientCoords(Rectangle& rectangle)
{
    mapPoints(nullptr, handle(), rectangle.corners(), 2, "WindowBase.toClientCoords");
}

void WindowBase::toClientCoords(std::span<Rectangle> rectangles)
{
    mapPoints(nullptr, handle(), reinterpret_cast<POINT*>(static_cast<RECT*>(rectangles.data())),
        static_cast<UINT>(2 * rectangles.size()), "WindowBase.toClientCoords");
}

void WindowBase::toScreenCoords(std::int32_t& x, std::int32_t& y)
{
    Point point(x, y);
    toScreenCoords(point);
    x = point.x;
    y = point.y;
}

void WindowBase::toScreenCoords(Point& point) { mapPoints(handle(), nullptr, &point, 1, "WindowBase.toScreenCoords"); }

void WindowBase::toScreenCoords(std::span<Point> points)
{
    mapPoints(handle(), nullptr, points.data(), static_cast<UINT>(points.size()), "WindowBase.toScreenCoords");
}

void WindowBase::toScreenCoords(Rectangle& rectangle)
{
    mapPoints(handle(), nullptr, rectangle.corners(), 2, "WindowBase.toScreenCoords");
}

void WindowBase::toScreenCoords(std::span<Rectangle> rectangles)
{
    mapPoints(handle(), nullptr, reinterpret_cast<POINT*>(static_cast<RECT*>(rectangles.data())),
        static_cast<UINT>(2 * rectangles.size()), "WindowBase.toScreenCoords");
}

void WindowBase::addListener(const ListenerHandler& handler, std::int32_t priority)
{
    // Insertion from the back keeps the sequence in descending priority and
    // equal priorities in the order they were added.
    m_listeners.emplace_back();
    std::size_t position = m_listeners.size() - 1;
    while (position > 0 && m_listeners[position - 1].priority < priority) {
        m_listeners[position] = m_listeners[position - 1];
        --position;
    }
    m_listeners[position] = Listener { handler, priority };
}

void WindowBase::removeListener(const ListenerHandler& handler)
{
    for (auto listener = m_listeners.begin(); listener != m_listeners.end(); ++listener) {
        if (listener->handler == handler) {
            m_listeners.erase(listener);
            return;
        }
    }
}

void WindowBase::repaint(bool erase)
{
    const HWND window = handle();
    HideCaret(window);
    const BOOL invalidated = InvalidateRect(window, nullptr, erase);
    // The caret comes back even when the repaint failed.
    ShowCaret(window);
    checkUnknownAPI(invalidated, "InvalidateRect", "WindowBase.repaint");
}

void WindowBase::repaint(bool erase, const Rectangle& area)
{
    checkUnknownAPI(InvalidateRect(handle(), &area, erase), "InvalidateRect", "WindowBase.repaint");
}

Application& WindowBase::application() const { return m_application; }

WindowBase* WindowBase::parent() const { return m_parent; }

HWND WindowBase::handle() const { return m_handle.load(std::memory_order_acquire); }

DCState& WindowBase::dcState() const { return *m_dcState; }

bool WindowBase::enabled() const { return IsWindowEnabled(handle()) != 0; }

bool WindowBase::enabled(bool enable)
{
    EnableWindow(handle(), enable);
    return enable;
}

std::int32_t WindowBase::textLength()
{
    const LRESULT length = sendMessage(WM_GETTEXTLENGTH, 0, 0);
    return length > 0 ? static_cast<std::int32_t>(length) : 0;
}

std::string WindowBase::text()
{
    const std::int32_t length = textLength();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    sendMessage(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    m_windowText.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    return m_windowText;
}

const std::string& WindowBase::text(const std::string& text)
{
    m_windowText = text;
    if (handle() == nullptr)
        return m_windowText;
    const LRESULT result = sendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_windowText.c_str()));
    if (result == -2)
        throw WindowBaseException("WindowBase.text failed - text too long");
    if (result == -1)
        throw WindowBaseException("WindowBase.text failed - control doesn't accept text");
    return m_windowText;
}

bool WindowBase::visible() const { return IsWindowVisible(handle()) != 0; }

bool WindowBase::visible(bool show)
{
    ShowWindow(handle(), show ? SW_SHOW : SW_HIDE);
    return show;
}

Rectangle WindowBase::sizeAndPosition()
{
    Rectangle rectangle = screenRect();
    if ((style() & WS_CHILD) != 0)
        requiredParent(parent()).toClientCoords(rectangle);
    return rectangle;
}

const Rectangle& WindowBase::sizeAndPosition(const Rectangle& rectangle)
{
    const HWND window = handle();
    ShowWindow(window, SW_RESTORE);
    checkUnknownAPI(MoveWindow(window, rectangle.left, rectangle.top, rectangle.width(), rectangle.height(), TRUE),
        "MoveWindow", "WindowBase.sizeAndPosition");
    return rectangle;
}

Rectangle WindowBase::screenRect() const
{
    Rectangle rectangle;
    GetWindowRect(handle(), &rectangle);
    return rectangle;
}

Rectangle WindowBase::screenRect(const Rectangle& rectangle)
{
    Rectangle placed = rectangle;
    if ((style() & WS_CHILD) != 0)
        requiredParent(parent()).toClientCoords(placed);
    sizeAndPosition(placed);
    return placed;
}

Rectangle WindowBase::clientRect() const
{
    Rectangle rectangle;
    GetClientRect(handle(), &rectangle);
    return rectangle;
}

HACCEL WindowBase::accelerators() const { return m_accelerators; }

HACCEL WindowBase::accelerators(HACCEL table)
{
    m_accelerators = table;
    return table;
}

HACCEL WindowBase::accelerators(LPCSTR name)
{
    m_accelerators = LoadAcceleratorsA(application().instance(), name);
    return m_accelerators;
}

HACCEL WindowBase::accelerators(UINT number) { return accelerators(MAKEINTRESOURCEA(number)); }

HACCEL WindowBase::accelerators(const std::string& name) { return accelerators(name.c_str()); }

DWORD WindowBase::style()
{
    const HWND window = handle();
    if (window == nullptr)
        return m_styleCache;
    // A window may have no style bits at all; a zero read with the code
    // still zero is that, not a failure.
    SetLastError(0);
    const LONG bits = GetWindowLongA(window, GWL_STYLE);
    checkDefinedAPI(bits, "GetWindowLongA", "WindowBase.style");
    m_styleCache = static_cast<DWORD>(bits);
    checkDefinedAPI(SetWindowPos(window, nullptr, 0, 0, 0, 0, refreshFrameFlags), "SetWindowPos", "WindowBase.style");
    return m_styleCache;
}

DWORD WindowBase::style(DWORD style)
{
    const HWND window = handle();
    if (window == nullptr) {
        m_styleCache = style;
        return style;
    }
    SetLastError(0);
    checkDefinedAPI(SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style)), "SetWindowLongA", "WindowBase.style");
    m_styleCache = style;
    checkDefinedAPI(SetWindowPos(window, nullptr, 0, 0, 0, 0, refreshFrameFlags), "SetWindowPos", "WindowBase.style");
    return style;
}

DWORD WindowBase::exStyle()
{
    const HWND window = handle();
    if (window == nullptr)
        return m_exStyleCache;
    // Most windows have no extended style: zero is an ordinary value.
    SetLastError(0);
    const LONG bits = GetWindowLongA(window, GWL_EXSTYLE);
    checkDefinedAPI(bits, "GetWindowLongA", "WindowBase.exStyle");
    m_exStyleCache = static_cast<DWORD>(bits);
    return m_exStyleCache;
}

DWORD WindowBase::exStyle(DWORD exStyle)
{
    const HWND window = handle();
    if (window == nullptr) {
        m_exStyleCache = exStyle;
        return exStyle;
    }
    SetLastError(0);
    checkDefinedAPI(
        SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(exStyle)), "SetWindowLongA", "WindowBase.exStyle");
    m_exStyleCache = exStyle;
    checkDefinedAPI(
        SetWindowPos(window, nullptr, 0, 0, 0, 0, refreshFrameFlags), "SetWindowPos", "WindowBase.exStyle");
    return exStyle;
}

LRESULT WindowBase::processMessage(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target)
{
    bool handled = false;
    const LRESULT result = dispatch(message, wParam, lParam, target, handled);
    return handled ? result : defaultProcessing(message, wParam, lParam);
}

LRESULT WindowBase::defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(handle(), message, wParam, lParam);
}

void WindowBase::handleMenuCommand(UINT code, UINT id) { onMenuCommand(code, id); }

void WindowBase::onMenuCommand(UINT, UINT) { }

LRESULT WindowBase::handleControlNotify(UINT code, UINT id, NMHDR* header) { return onControlNotify(code, id, header); }

LRESULT WindowBase::onControlNotify(UINT, UINT, NMHDR*) { return 0; }

bool WindowBase::canClose() { return true; }

void WindowBase::onInitDialog() { }

void WindowBase::onActivate(const ActivationEvent&) { }

void WindowBase::onDeactivate(const ActivationEvent&) { }

void WindowBase::onDestroy() { }

bool WindowBase::isDialogMessage(MSG* message) { return IsDialogMessageA(handle(), message) != 0; }

// ---- Dispatch -------------------------------------------------------------
// Handlers are copied before they are called, so that a handler may remove
// itself, or change the maps and listeners, while it runs.

LRESULT WindowBase::dispatch(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target, bool& handled)
{
    installPendingListeners();

    // 1. A message handler always consumes its message.
    if (const auto entry = messageHandlers.find(message); entry != messageHandlers.end()) {
        handled = true;
        const MessageHandler handler = entry->second;
        return handler(message, wParam, lParam);
    }
    // 2. A message filter decides.
    if (const auto entry = messageFilters.find(message); entry != messageFilters.end()) {
        const ListenerHandler filter = entry->second;
        const LRESULT result = filter(message, wParam, lParam, target, handled);
        if (handled)
            return result;
    }
    // 3. The listeners, by descending priority, until one consumes it. A
    // listener added or removed meanwhile takes effect from its position on.
    handled = false;
    for (std::size_t position = 0; position < m_listeners.size(); ++position) {
        const ListenerHandler listener = m_listeners[position].handler;
        const LRESULT result = listener(message, wParam, lParam, target, handled);
        if (handled)
            return result;
    }
    return 0;
}

LRESULT WindowBase::standardListener(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target, bool& handled)
{
    handled = false;
    switch (message) {
    case WM_COMMAND: {
        // Handled stays false: the default processing still runs and its
        // result is what the platform receives.
        const UINT id = LOWORD(wParam);
        const UINT code = HIWORD(wParam);
        if (lParam != 0)
            return dispatchNotification(code, id, nullptr);
        // From a menu (code 0) or an accelerator (code 1).
        if (const auto entry = menuHandlers.find(id); entry != menuHandlers.end()) {
            const MenuHandler handler = entry->second;
            handler(code != 0, id);
        } else if (const auto command = commandHandlers.find(id); command != commandHandlers.end()) {
            const CommandHandler handler = command->second;
            handler(code, id);
        } else {
            handleMenuCommand(code, id);
        }
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header == nullptr)
            return 0;
        handled = true;
        return dispatchNotification(header->code, static_cast<UINT>(header->idFrom), header);
    }
    case WM_ACTIVATE: {
        const ActivationEvent event(*this, message, wParam, lParam);
        if (!m_initialised)
            return 0;
        if (event.isActivating()) {
            application().activeWindow(this);
            onActivate(event);
        } else {
            onDeactivate(event);
            // Another window may have been activated meanwhile; only this
            // window's own activation ends here.
            if (application().activeWindow() == this)
                application().activeWindow(nullptr);
        }
        return 0;
    }
    case WM_CLOSE:
        close(IDCLOSE);
        handled = true;
        return 0;
    case WM_DESTROY:
    case WM_NCDESTROY:
        if (message == WM_DESTROY)
            onDestroy();
        if (&target == this)
            noteDestroyed(message);
        handled = true;
        return 0;
    case WM_QUERYENDSESSION:
        handled = true;
        return canClose() ? 1 : 0;
    case WM_ENDSESSION:
        if (wParam != 0)
            onDestroy();
        handled = true;
        return 0;
    default:
        return 0;
    }
}

LRESULT WindowBase::dispatchNotification(UINT code, UINT id, NMHDR* header)
{
    if (const auto entry = notifyHandlers.find(id); entry != notifyHandlers.end()) {
        const NotificationHandler handler = entry->second;
        return handler(code, id, header);
    }
    if (header == nullptr) {
        if (const auto entry = commandHandlers.find(id); entry != commandHandlers.end()) {
            const CommandHandler handler = entry->second;
            handler(code, id);
            return 0;
        }
    }
    return handleControlNotify(code, id, header);
}

void WindowBase::noteDestroyed(UINT message)
{
    require(message == WM_DESTROY || message == WM_NCDESTROY, "destruction is noted for WM_DESTROY or WM_NCDESTROY");
    if (message == WM_DESTROY)
        m_destroySeen = true;
    else
        m_ncDestroySeen = true;
    if (!m_destroySeen || !m_ncDestroySeen)
        return;

    // The lock keeps lookups of other threads' windows consistent while the
    // entry goes.
    bool lastWindowGone = false;
    {
        Registry& shared = registry();
        std::scoped_lock guard(shared.lock);
        const auto entry = shared.windows.find(handle());
        if (entry != shared.windows.end() && entry->second == this) {
            shared.windows.erase(entry);
            lastWindowGone = shared.windows.empty();
        }
    }
    m_handle = nullptr;
    if (application().activeWindow() == this)
        application().activeWindow(nullptr);
    if (lastWindowGone)
        PostQuitMessage(0);
}

// ---- Registry -------------------------------------------------------------

WindowBase* lookupWindow(HWND handle) noexcept
{
    Registry& shared = registry();
    std::scoped_lock guard(shared.lock);
    if (const auto entry = shared.windows.find(handle); entry != shared.windows.end())
        return entry->second;
    if (handle == nullptr || shared.pending == nullptr || shared.pendingThread != std::this_thread::get_id())
        return nullptr;
    WindowBase* window = shared.pending;
    shared.pending = nullptr;
    shared.windows.emplace(handle, window);
    window->bind(handle);
    return window;
}

WindowBase* registeredWindow(HWND handle) noexcept
{
    Registry& shared = registry();
    std::scoped_lock guard(shared.lock);
    const auto entry = shared.windows.find(handle);
    return entry != shared.windows.end() ? entry->second : nullptr;
}

std::size_t registeredWindowCount() noexcept
{
    Registry& shared = registry();
    std::scoped_lock guard(shared.lock);
    return shared.windows.size();
}

void pendingWindow(WindowBase* window) noexcept
{
    Registry& shared = registry();
    std::scoped_lock guard(shared.lock);
    shared.pending = window;
    shared.pendingThread = std::this_thread::get_id();
}

WindowBase* pendingWindow() noexcept
{
    Registry& shared = registry();
    std::scoped_lock guard(shared.lock);
    return shared.pending;
}

void withdrawPendingWindow(const WindowBase* window) noexcept
{
    Registry& shared = registry();
    std::scoped_lock guard(shared.lock);
    if (shared.pending == window)
        shared.pending = nullptr;
}

LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowBase* window = lookupWindow(handle);
    if (window == nullptr)
        return unclaimedMessage(handle, message, wParam, lParam);
    try {
        return window->processMessage(message, wParam, lParam, *window);
    } catch (const std::exception& failure) {
        return recover(*window, failure.what());
    } catch (...) {
        return recover(*window, "Unidentified exception");
    }
}

// The same procedure serves as dialog procedure, which needs the two
// result types to be one.
static_assert(std::is_same_v<LRESULT, INT_PTR>, "windowProcedure is also a dialog procedure");

bool translateAccelerators(MSG* message)
{
    // No lock is held while the table is translated: the translation sends
    // the command, and its handlers run, before it returns.
    HWND handle = message->hwnd;
    WindowBase* window = registeredWindow(handle);
    while (window == nullptr && handle != nullptr) {
        handle = GetParent(handle);
        window = registeredWindow(handle);
    }
    while (window != nullptr) {
        const HACCEL table = window->accelerators();
        if (table != nullptr && TranslateAcceleratorA(window->handle(), table, message) != 0)
            return true;
        // The remembered style, not the platform's: a child is known as one
        // from what its object was told.
        if ((window->m_styleCache & WS_CHILD) == 0)
            return false;
        window = window->parent();
    }
    return false;
}

}

// ---- Window classes -------------------------------------------------------

namespace wivel {
namespace {

std::atomic<std::uint32_t> classNumbers { 0 };

// What registered classes were given, kept after their builders are gone.
// Registrations last until the program ends, so this is never destroyed:
// releasing at exit could come after the platform's own tables are gone.
struct KeptClassObjects {
    std::mutex lock;
    std::vector<std::shared_ptr<void>> objects;
};

KeptClassObjects& keptClassObjects()
{
    static KeptClassObjects* const kept = new KeptClassObjects;
    return *kept;
}

}

WindowClass::WindowClass(Application& application)
    : m_application(application)
    , m_className("WIVELWindow" + std::to_string(++classNumbers))
{
    classRecord.cbSize = sizeof(WNDCLASSEXA);
    // Each window keeps its own device context, as its object keeps the
    // record of what is selected into it.
    classRecord.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    classRecord.lpfnWndProc = windowProcedure;
    classRecord.cbClsExtra = 0;
    classRecord.cbWndExtra = 0;
    classRecord.hInstance = application.instance();
    classRecord.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    classRecord.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    classRecord.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    classRecord.lpszMenuName = nullptr;
    classRecord.lpszClassName = m_className.c_str();
    classRecord.hIconSm = nullptr;
}

WindowClass::~WindowClass()
{
    if (!m_registered)
        return;
    try {
        KeptClassObjects& kept = keptClassObjects();
        std::scoped_lock guard(kept.lock);
        for (std::shared_ptr<void> object : { std::shared_ptr<void>(m_background), std::shared_ptr<void>(m_icon),
                 std::shared_ptr<void>(m_smallIcon), std::shared_ptr<void>(m_cursor) }) {
            if (object)
                kept.objects.push_back(std::move(object));
        }
    } catch (...) {
        // Without room to keep them the objects go; the class then shows
        // defaults where they were used.
    }
}

void WindowClass::requireOpen() const { require(!m_registered, "a window class is changed only before it is registered"); }

// The three image properties share their rules: an object given is kept and
// its handle used; a handle given drops the kept object; the reader wraps a
// handle that has no object yet, without owning it.
namespace {

template<typename Image, typename Handle>
std::shared_ptr<Image> keptOrWrapped(std::shared_ptr<Image>& kept, Handle handle)
{
    if (!kept && handle != nullptr)
        kept = std::make_shared<Image>(handle, false);
    return kept;
}

template<typename Image, typename Handle>
void keepImage(std::shared_ptr<Image>& kept, Handle& field, std::shared_ptr<Image> image)
{
    require(image != nullptr, "an image given to a window class as an object is one");
    field = image->handle();
    kept = std::move(image);
}

template<typename Image, typename Handle>
void useHandle(std::shared_ptr<Image>& kept, Handle& field, Handle handle)
{
    kept.reset();
    field = handle;
}

}

std::shared_ptr<Icon> WindowClass::icon()
{
    requireOpen();
    return keptOrWrapped(m_icon, classRecord.hIcon);
}

void WindowClass::icon(std::shared_ptr<Icon> icon)
{
    requireOpen();
    keepImage(m_icon, classRecord.hIcon, std::move(icon));
}

void WindowClass::icon(HICON handle)
{
    requireOpen();
    useHandle(m_icon, classRecord.hIcon, handle);
}

void WindowClass::icon(UINT number) { loadIcon(MAKEINTRESOURCEA(number)); }

void WindowClass::icon(const std::string& name) { loadIcon(name.c_str()); }

// The loaded handle is stored before it is checked. Storing may release a
// kept object, which calls the platform, so the load's code is put back for
// the check.
void WindowClass::loadIcon(LPCSTR name)
{
    const HICON loaded = LoadIconA(classRecord.hInstance, name);
    const DWORD code = GetLastError();
    icon(loaded);
    SetLastError(code);
    checkDefinedAPI(classRecord.hIcon, "LoadIconA", "WindowClass.icon");
}

std::shared_ptr<Icon> WindowClass::smallIcon()
{
    requireOpen();
    return keptOrWrapped(m_smallIcon, classRecord.hIconSm);
}

void WindowClass::smallIcon(std::shared_ptr<Icon> icon)
{
    requireOpen();
    keepImage(m_smallIcon, classRecord.hIconSm, std::move(icon));
}

void WindowClass::smallIcon(HICON handle)
{
    requireOpen();
    useHandle(m_smallIcon, classRecord.hIconSm, handle);
}

void WindowClass::smallIcon(UINT number) { loadSmallIcon(MAKEINTRESOURCEA(number)); }

void WindowClass::smallIcon(const std::string& name) { loadSmallIcon(name.c_str()); }

void WindowClass::loadSmallIcon(LPCSTR name)
{
    smallIcon(static_cast<HICON>(LoadImageA(classRecord.hInstance, name, IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
    checkUnknownAPI(classRecord.hIconSm, "LoadImageA", "WindowClass.smallIcon");
}

std::shared_ptr<MouseCursor> WindowClass::mouseCursor()
{
    requireOpen();
    return keptOrWrapped(m_cursor, classRecord.hCursor);
}

void WindowClass::mouseCursor(std::shared_ptr<MouseCursor> cursor)
{
    requireOpen();
    keepImage(m_cursor, classRecord.hCursor, std::move(cursor));
}

void WindowClass::mouseCursor(HCURSOR handle)
{
    requireOpen();
    useHandle(m_cursor, classRecord.hCursor, handle);
}

void WindowClass::mouseCursor(UINT number) { loadCursor(MAKEINTRESOURCEA(number)); }

void WindowClass::mouseCursor(const std::string& name) { loadCursor(name.c_str()); }

void WindowClass::loadCursor(LPCSTR name)
{
    const HCURSOR loaded = LoadCursorA(classRecord.hInstance, name);
    const DWORD code = GetLastError();
    mouseCursor(loaded);
    SetLastError(code);
    checkDefinedAPI(classRecord.hCursor, "LoadCursorA", "WindowClass.mouseCursor");
}

void WindowClass::mouseCursor(std::nullptr_t) { mouseCursor(HCURSOR {}); }

HCURSOR WindowClass::cursorHandle() const { return classRecord.hCursor; }

void WindowClass::cursorHandle(HCURSOR handle)
{
    requireOpen();
    classRecord.hCursor = handle;
}

void WindowClass::cursorHandle(UINT number)
{
    requireOpen();
    classRecord.hCursor = LoadCursorA(classRecord.hInstance, MAKEINTRESOURCEA(number));
}

void WindowClass::cursorHandle(const std::string& name)
{
    requireOpen();
    classRecord.hCursor = LoadCursorA(classRecord.hInstance, name.c_str());
}

HBRUSH WindowClass::background() const { return classRecord.hbrBackground; }

void WindowClass::background(HBRUSH handle)
{
    requireOpen();
    m_background.reset();
    classRecord.hbrBackground = handle;
}

void WindowClass::background(int systemColour)
{
    // The platform's convention: a system colour is given as its index + 1.
    background(reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(systemColour) + 1));
}

void WindowClass::background(std::shared_ptr<Brush> brush)
{
    requireOpen();
    require(brush != nullptr, "a class background given as a brush is one");
    classRecord.hbrBackground = static_cast<HBRUSH>(brush->handle());
    m_background = std::move(brush);
}

void WindowClass::background(Colour colour)
{
    requireOpen();
    background(std::make_shared<Brush>(colour));
}

LPCSTR WindowClass::menuName() const { return classRecord.lpszMenuName; }

void WindowClass::menuName(LPCSTR name)
{
    requireOpen();
    classRecord.lpszMenuName = name;
}

void WindowClass::menuName(UINT number) { menuName(MAKEINTRESOURCEA(number)); }

void WindowClass::menuName(const std::string& name)
{
    requireOpen();
    m_menuName = name;
    classRecord.lpszMenuName = m_menuName.c_str();
}

std::string WindowClass::className() const
{
    const LPCSTR name = classRecord.lpszClassName;
    if (name == nullptr)
        return {};
    // A class named by atom, written straight into the record.
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

void WindowClass::className(const std::string& name)
{
    requireOpen();
    m_className = name;
    classRecord.lpszClassName = m_className.c_str();
}

void WindowClass::registerClass()
{
    if (m_registered)
        return;
    checkDefinedAPI(RegisterClassExA(&classRecord), "RegisterClassExA", "WindowClass.register");
    m_registered = true;
}

}
