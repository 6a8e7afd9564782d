// The running program's module as an object: the instance handle through
// which resources are loaded, the main window and the active window, and a
// recursive lock that dialog creation takes. The start-up code owns the one
// Application; windows refer to it without owning it.
#pragma once

#include "object.h"

#include <windows.h>

#include <cstddef>
#include <mutex>
#include <string>

namespace wivel {

class WindowBase;

class Application : public Object {
public:
    // Takes the instance handle of the program's own module.
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Hashes and compares by instance handle.
    std::size_t toHash() const override;
    bool equals(const Object* other) const override;

    virtual HINSTANCE instance() const;
    virtual WindowBase* mainWindow() const;
    // May be set once, to a window; yields it.
    virtual WindowBase* mainWindow(WindowBase* window);
    // Shows the main window, then fetches and distributes the thread's
    // messages until the quit message; returns its exit code.
    virtual int run();
    // The loaders yield null for an image that does not exist.
    virtual HICON loadIcon(UINT number);
    virtual HICON loadIcon(const std::string& name);
    virtual HCURSOR loadCursor(UINT number);
    virtual HCURSOR loadCursor(const std::string& name);
    // The text of a string resource.
    virtual std::string stringTable(UINT number);

    // The framework window that is active; kept by activation handling.
    WindowBase* activeWindow() const { return m_activeWindow; }
    void activeWindow(WindowBase* window) { m_activeWindow = window; }

    // The Application is a recursive lock (BasicLockable and Lockable).
    void lock() { m_lock.lock(); }
    bool try_lock() { return m_lock.try_lock(); }
    void unlock() { m_lock.unlock(); }

    // The capacity in characters of the buffer that all Applications of the
    // process load strings through; 0 until the first string is loaded.
    static std::size_t stringBufferCapacity();

private:
    WindowBase* m_activeWindow = nullptr;
    HINSTANCE m_instance;
    WindowBase* m_mainWindow = nullptr;
    std::recursive_mutex m_lock;
};

}
