// The base of every framework window and the path by which platform messages
// reach window objects. WindowBase wraps one platform window: its properties
// and operations, the handler maps and priority-ordered listeners that user
// code fills, and the hooks that subclasses replace. Around it live the
// process-wide handle registry (which window object a handle belongs to),
// the pending window (the object whose window is being created right now),
// windowProcedure (the one procedure the platform calls for framework
// windows, which also recovers from failures of message handling), the
// accelerator translation of the message loop, and WindowClass, the builder
// of platform window classes.
#pragma once

#include "except.h"
#include "geometry.h"
#include "object.h"

#include <windows.h>

#include <atomic>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace wivel {

class Application;
class DCState;
class MenuBar;
struct ActivationEvent;
class Brush;
class Colour;
class Icon;
class MouseCursor;

class WindowBaseException : public WivelException {
public:
    explicit WindowBaseException(const std::string& message);
};

class MenuException : public WivelException {
public:
    explicit MenuException(const std::string& message);
};

// A bound callable: an object together with one of its member operations.
// Two handlers are equal when both name the same object and the same
// operation, which is what removing a listener relies on; a lambda could not
// be compared that way. The operation is called through the member pointer,
// so a virtual operation reaches the object's most-derived implementation.
template<typename Signature>
class Handler;

template<typename Result, typename... Args>
class Handler<Result(Args...)> {
public:
    Handler() = default;

    template<typename Target, typename Class>
        requires std::derived_from<Target, Class>
    Handler(Target* object, Result (Class::*operation)(Args...))
        : m_object(static_cast<Class*>(object))
        , m_invoke(&invoke<Class>)
        , m_same(&same<Class>)
    {
        static_assert(sizeof(operation) <= sizeof(m_operation), "member pointers fit the handler");
        require(object != nullptr, "a handler is bound to an object");
        std::memcpy(m_operation, &operation, sizeof(operation));
    }

    explicit operator bool() const { return m_invoke != nullptr; }

    Result operator()(Args... args) const
    {
        require(m_invoke != nullptr, "only a bound handler is called");
        return m_invoke(*this, std::forward<Args>(args)...);
    }

    friend bool operator==(const Handler& left, const Handler& right)
    {
        if (left.m_object != right.m_object || left.m_same != right.m_same)
            return false;
        return left.m_same == nullptr || left.m_same(left, right);
    }

private:
    template<typename Class>
    using Operation = Result (Class::*)(Args...);

    template<typename Class>
    static Operation<Class> operation(const Handler& handler)
    {
        Operation<Class> operation;
        std::memcpy(&operation, handler.m_operation, sizeof(operation));
        return operation;
    }

    template<typename Class>
    static Result invoke(const Handler& handler, Args... args)
    {
        return (static_cast<Class*>(handler.m_object)->*operation<Class>(handler))(std::forward<Args>(args)...);
    }

    // Compares the member pointers at their own type: equal handlers of one
    // class share this function, and only then are the pointers compared.
    template<typename Class>
    static bool same(const Handler& left, const Handler& right)
    {
        return operation<Class>(left) == operation<Class>(right);
    }

    void* m_object = nullptr;
    Result (*m_invoke)(const Handler&, Args...) = nullptr;
    bool (*m_same)(const Handler&, const Handler&) = nullptr;
    alignas(void*) unsigned char m_operation[2 * sizeof(void*)] {};
};

// Message results are the platform's LRESULT: 32 bits where the platform's
// results are, and wide enough for the handles some messages answer with.
class WindowBase : public Object {
public:
    // Consumes its message: (message, wParam, lParam).
    using MessageHandler = Handler<LRESULT(UINT, WPARAM, LPARAM)>;
    // Decides for itself: (message, wParam, lParam, target window, handled);
    // it sets handled when it consumes the message.
    using ListenerHandler = Handler<LRESULT(UINT, WPARAM, LPARAM, WindowBase&, bool&)>;
    // (notification code, command or control identifier).
    using CommandHandler = Handler<void(UINT, UINT)>;
    // (notification code, control identifier, notification header or null
    // for a notification that came as WM_COMMAND).
    using NotificationHandler = Handler<LRESULT(UINT, UINT, NMHDR*)>;
    // (true when the command came from an accelerator, command identifier).
    using MenuHandler = Handler<void(bool, UINT)>;

    struct Listener {
        ListenerHandler handler;
        // Higher priorities are called first.
        std::int32_t priority = 0;
    };

    // Users add handlers by assigning to a key and remove them by erasing it.
    std::unordered_map<UINT, MessageHandler> messageHandlers;
    std::unordered_map<UINT, ListenerHandler> messageFilters;
    std::unordered_map<UINT, CommandHandler> commandHandlers;
    std::unordered_map<UINT, NotificationHandler> notifyHandlers;
    std::unordered_map<UINT, MenuHandler> menuHandlers;

    // The standard listeners of the actual class cannot be installed by a
    // constructor, which only sees its own class. They are installed, by
    // installListeners of the most-derived class, just before the window's
    // first message is dispatched; the window cannot receive a message
    // before its object is complete. Listeners that constructors add earlier
    // are kept and come after the installed ones of equal priority, exactly
    // as if installation had come first.
    explicit WindowBase(Application& application);
    // Requires a parent; the window belongs to the parent's application.
    explicit WindowBase(WindowBase* parent);
    WindowBase(Application& application, HWND handle);
    WindowBase(WindowBase* parent, HWND handle);
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    // Does not touch the platform window (the object's owner must keep the
    // object until its window is gone). A registration or activation still
    // naming the object is withdrawn, so that no message can reach a
    // destroyed object.
    ~WindowBase() override;

    // The window's text (reading it asks the platform).
    std::string toString() const override;
    std::size_t toHash() const override;
    // Equal to any window object of the same handle.
    bool equals(const Object* other) const override;

    virtual void create() = 0;
    // Creates the window if it has none and makes it visible.
    virtual INT_PTR show();
    virtual void focus();
    // Destroys the window if canClose agrees; the code is for dialogs.
    virtual void close(INT_PTR code);
    virtual int messageBox(const std::string& text, const std::string& caption, UINT style);
    // flags: MF_BYPOSITION, MF_GRAYED and MF_DISABLED only.
    virtual void enableMenuItem(UINT item, UINT flags);
    // flags: MF_BYPOSITION and MF_CHECKED only.
    virtual void checkMenuItem(UINT item, UINT flags);
    virtual LRESULT sendMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL postMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void toClientCoords(std::int32_t& x, std::int32_t& y);
    virtual void toClientCoords(Point& point);
    virtual void toClientCoords(std::span<Point> points);
    virtual void toClientCoords(Rectangle& rectangle);
    virtual void toClientCoords(std::span<Rectangle> rectangles);
    virtual void toScreenCoords(std::int32_t& x, std::int32_t& y);
    virtual void toScreenCoords(Point& point);
    virtual void toScreenCoords(std::span<Point> points);
    virtual void toScreenCoords(Rectangle& rectangle);
    virtual void toScreenCoords(std::span<Rectangle> rectangles);
    virtual void addListener(const ListenerHandler& handler, std::int32_t priority);
    // Removes the first listener with that handler, if any.
    virtual void removeListener(const ListenerHandler& handler);
    virtual void repaint(bool erase);
    virtual void repaint(bool erase, const Rectangle& area);
    virtual Application& application() const;
    virtual WindowBase* parent() const;
    virtual HWND handle() const;
    virtual DCState& dcState() const;
    virtual bool enabled() const;
    virtual bool enabled(bool enable);
    virtual std::int32_t textLength();
    virtual std::string text();
    virtual const std::string& text(const std::string& text);
    virtual bool visible() const;
    virtual bool visible(bool show);
    // A top-level window's rectangle in screen coordinates, a child's in its
    // parent's client coordinates. Writing it also shows the window.
    virtual Rectangle sizeAndPosition();
    virtual const Rectangle& sizeAndPosition(const Rectangle& rectangle);
    virtual Rectangle screenRect() const;
    virtual Rectangle screenRect(const Rectangle& rectangle);
    virtual Rectangle clientRect() const;
    virtual HACCEL accelerators() const;
    virtual HACCEL accelerators(HACCEL table);
    // A resource name or an integer resource identifier.
    virtual HACCEL accelerators(LPCSTR name);
    virtual HACCEL accelerators(UINT number);
    virtual HACCEL accelerators(const std::string& name);
    virtual DWORD style();
    virtual DWORD style(DWORD style);
    virtual DWORD exStyle();
    virtual DWORD exStyle(DWORD exStyle);
    // The menu property (read, and written with a MenuBar, a resource number
    // or a name) takes its slots here; it comes with the menu classes and
    // keeps its menu bar in m_menu.
    virtual LRESULT processMessage(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target);
    virtual LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // A menu or accelerator command that no handler took.
    virtual void handleMenuCommand(UINT code, UINT id);
    virtual void onMenuCommand(UINT code, UINT id);
    // A control notification that no handler took.
    virtual LRESULT handleControlNotify(UINT code, UINT id, NMHDR* header);
    virtual LRESULT onControlNotify(UINT code, UINT id, NMHDR* header);
    virtual void installListeners() = 0;
    // Asked by close and when the session ends.
    virtual bool canClose();
    virtual void onInitDialog();
    virtual void onActivate(const ActivationEvent& event);
    virtual void onDeactivate(const ActivationEvent& event);
    virtual void onDestroy();
    virtual bool isDialogMessage(MSG* message);

    // ---- Dispatch --------------------------------------------------------
    // Message handlers, then the message filter, then the listeners by
    // priority; sets handled when one of them consumed the message.
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target, bool& handled);
    // Turns the common messages into calls of handlers and hooks.
    LRESULT standardListener(UINT message, WPARAM wParam, LPARAM lParam, WindowBase& target, bool& handled);
    LRESULT dispatchNotification(UINT code, UINT id, NMHDR* header);
    // WM_DESTROY or WM_NCDESTROY has reached the window; after both, the
    // window leaves the registry, and when no framework window is left the
    // program's message loop is told to end.
    void noteDestroyed(UINT message);

    bool initialised() const { return m_initialised; }
    bool isDialog() const { return m_isDialog; }
    bool destroySeen() const { return m_destroySeen; }
    bool ncDestroySeen() const { return m_ncDestroySeen; }
    // In descending priority. The standard listeners are among them only
    // once the window has dispatched its first message.
    const std::vector<Listener>& listeners() const { return m_listeners; }

protected:
    // The text last read or written through text: what a subclass's create
    // gives a new window.
    const std::string& windowText() const { return m_windowText; }
    void initialised(bool initialised) { m_initialised = initialised; }
    void isDialog(bool isDialog) { m_isDialog = isDialog; }
    void clearListeners() { m_listeners.clear(); }

private:
    friend WindowBase* lookupWindow(HWND handle) noexcept;
    friend bool translateAccelerators(MSG* message);

    void mapPoints(HWND from, HWND to, POINT* points, UINT count, const char* operation);
    void installPendingListeners();
    // Binding to a handle starts a new life of the object's bookkeeping.
    void bind(HWND handle);

    std::string m_windowText;
    // Written on the window's own thread, read also by threads that send
    // messages to the window.
    std::atomic<HWND> m_handle { nullptr };
    bool m_initialised = false;
    DWORD m_styleCache = 0;
    DWORD m_exStyleCache = 0;
    bool m_isDialog = false;
    std::vector<Listener> m_listeners;
    bool m_listenersInstalled = false;
    Application& m_application;
    WindowBase* m_parent = nullptr;
    bool m_destroySeen = false;
    bool m_ncDestroySeen = false;
    std::unique_ptr<DCState> m_dcState;
    HACCEL m_accelerators = nullptr;

protected:
    // The window's menu bar, not owned; only the menu property uses it.
    MenuBar* m_menu = nullptr;
};

// ---- Handle registry ------------------------------------------------------
// The window objects of framework windows by handle, without owning them,
// and the pending window. One recursive lock guards both; where the
// application's lock is held too, it was taken first.

// The object registered for the handle. An unregistered handle is bound to
// the pending window, when the calling thread set one, and the pending
// window is cleared: the first message of a new window binds its object.
WindowBase* lookupWindow(HWND handle) noexcept;
// The object registered for the handle, without binding anything.
WindowBase* registeredWindow(HWND handle) noexcept;
std::size_t registeredWindowCount() noexcept;
// The object whose window the calling thread is about to create. Only
// messages on the same thread bind it.
void pendingWindow(WindowBase* window) noexcept;
WindowBase* pendingWindow() noexcept;
// Clears the pending window if it is still `window`, after a creation that
// delivered no message.
void withdrawPendingWindow(const WindowBase* window) noexcept;

// The procedure through which the platform delivers messages to framework
// windows, as window procedure and as dialog procedure.
LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

// The accelerator stage of the message loop: the accelerator table of the
// registered window nearest to the message's window, and of its parents for
// child windows. True when an accelerator consumed the message.
bool translateAccelerators(MSG* message);

// ---- Window classes -------------------------------------------------------
// A builder of one platform window class: a complete description with the
// framework's defaults and a numbered name, changed through properties or
// directly in classRecord, then registered once. Once registered it may no
// longer be changed.
class WindowClass : public Object {
public:
    // The platform's record, passed unchanged to the registration.
    WNDCLASSEXA classRecord {};

    explicit WindowClass(Application& application);
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    // A registered class keeps using the icons, cursor and brush it was
    // given: they stay alive with the registration, until the program ends.
    ~WindowClass() override;

    virtual std::shared_ptr<Icon> icon();
    virtual void icon(std::shared_ptr<Icon> icon);
    virtual void icon(HICON handle);
    virtual void icon(UINT number);
    virtual void icon(const std::string& name);
    virtual std::shared_ptr<Icon> smallIcon();
    virtual void smallIcon(std::shared_ptr<Icon> icon);
    virtual void smallIcon(HICON handle);
    virtual void smallIcon(UINT number);
    virtual void smallIcon(const std::string& name);
    virtual std::shared_ptr<MouseCursor> mouseCursor();
    virtual void mouseCursor(std::shared_ptr<MouseCursor> cursor);
    virtual void mouseCursor(HCURSOR handle);
    virtual void mouseCursor(UINT number);
    virtual void mouseCursor(const std::string& name);
    // No cursor for the class.
    virtual void mouseCursor(std::nullptr_t);
    virtual HCURSOR cursorHandle() const;
    virtual void cursorHandle(HCURSOR handle);
    virtual void cursorHandle(UINT number);
    virtual void cursorHandle(const std::string& name);
    virtual HBRUSH background() const;
    virtual void background(HBRUSH handle);
    // A system colour index (COLOR_*).
    virtual void background(int systemColour);
    virtual void background(std::shared_ptr<Brush> brush);
    virtual void background(Colour colour);
    virtual LPCSTR menuName() const;
    virtual void menuName(LPCSTR name);
    virtual void menuName(UINT number);
    virtual void menuName(const std::string& name);
    virtual std::string className() const;
    virtual void className(const std::string& name);
    // Registers the class unless it already is. (Named registerClass because
    // the plain word is reserved in C++.)
    virtual void registerClass();

    bool registered() const { return m_registered; }
    Application& application() const { return m_application; }

private:
    void requireOpen() const;
    // By name or integer resource identifier.
    void loadIcon(LPCSTR name);
    void loadSmallIcon(LPCSTR name);
    void loadCursor(LPCSTR name);

    bool m_registered = false;
    std::shared_ptr<Brush> m_background;
    Application& m_application;
    std::shared_ptr<Icon> m_icon;
    std::shared_ptr<Icon> m_smallIcon;
    std::shared_ptr<MouseCursor> m_cursor;
    std::string m_className;
    std::string m_menuName;
};

}
