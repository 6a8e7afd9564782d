// Shared by the window tests of the framework: a fixture that starts each
// test with one of the two resource images, no armed failures, no host
// hooks and an empty queue, and ends it with the thread's windows destroyed;
// the window classes the tests use; and a watchdog that ends a message loop
// that waits for something that never comes.
#pragma once

#include <wivel/application.h>
#include <wivel/dialog.h>
#include <wivel/eventstr.h>
#include <wivel/except.h>
#include <wivel/windowbase.h>

#include <windows.h>
#include <winapi/host.h>

#include <ResourceImage.h>
#include <TestResourceImage.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace windowtests {

using wivel::Application;
using wivel::Dialog;
using wivel::WindowBase;

// Handles what the thread's queue holds, paints included (a window that
// needs painting keeps offering WM_PAINT until it is painted), and drops a
// quit message.
inline void drainQueue()
{
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message != WM_QUIT)
            DispatchMessageA(&message);
    }
}

// Whether the thread's queue holds a quit message, and its code.
inline bool quitPosted(WPARAM* code = nullptr)
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    if (code != nullptr)
        *code = message.wParam;
    return true;
}

inline BOOL CALLBACK destroyWindow(HWND window, LPARAM)
{
    DestroyWindow(window);
    return TRUE;
}

enum class Image { Program, Test };

template<Image image>
class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (image == Image::Program)
            winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
        else
            winapi::host::setResourceImage(vexloTestResourceImage, vexloTestResourceImageSize);
        reset();
    }

    void TearDown() override
    {
        reset();
        EnumThreadWindows(GetCurrentThreadId(), destroyWindow, 0);
        for (UINT key : { VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_LCONTROL, VK_LMENU }) {
            if (GetAsyncKeyState(static_cast<int>(key)) < 0)
                winapi::host::keyUp(key);
        }
        drainQueue();
    }

    static void reset()
    {
        winapi::host::setIdleHandler({});
        winapi::host::setMessageBoxHandler({});
        winapi::host::clearFailures();
        drainQueue();
    }

    Application m_application;
};

using TestImageFixture = WindowFixture<Image::Test>;
using ProgramImageFixture = WindowFixture<Image::Program>;

// The main dialog's class, registered as the program registers it.
inline void registerVexloClass(Application& application)
{
    WNDCLASSEXA existing {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(application.instance(), "Vexlo", &existing))
        return;
    wivel::WindowClass windowClass(application);
    windowClass.className("Vexlo");
    windowClass.icon(1u);
    windowClass.classRecord.style = 0;
    windowClass.classRecord.lpfnWndProc = DefDlgProcA;
    windowClass.classRecord.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.registerClass();
}

// A dialog that records what reaches its hooks.
class RecordingDialog : public Dialog {
public:
    using Dialog::Dialog;

    void onInitDialog() override
    {
        ++initCount;
        if (onInit)
            onInit(*this);
    }
    void onMenuCommand(UINT code, UINT id) override { menuCommands.push_back({ code, id }); }
    LRESULT onControlNotify(UINT code, UINT id, NMHDR*) override
    {
        controlNotifications.push_back({ code, id });
        return 0;
    }
    void onActivate(const wivel::ActivationEvent& event) override { activations.push_back(event); }
    void onDeactivate(const wivel::ActivationEvent& event) override { deactivations.push_back(event); }
    void onDestroy() override { ++destroyCount; }
    // For handler maps: calls onMessage.
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) { return onMessage(message, wParam, lParam); }
    void command(UINT code, UINT id)
    {
        commands.push_back({ code, id });
        if (onCommand)
            onCommand(code, id);
    }
    void menu(bool fromAccelerator, UINT id) { menus.push_back({ fromAccelerator, id }); }

    std::function<void(RecordingDialog&)> onInit;
    std::function<LRESULT(UINT, WPARAM, LPARAM)> onMessage;
    std::function<void(UINT, UINT)> onCommand;
    std::vector<std::pair<UINT, UINT>> commands;
    std::vector<std::pair<bool, UINT>> menus;
    int initCount = 0;
    int destroyCount = 0;
    std::vector<std::pair<UINT, UINT>> menuCommands;
    std::vector<std::pair<UINT, UINT>> controlNotifications;
    std::vector<wivel::ActivationEvent> activations;
    std::vector<wivel::ActivationEvent> deactivations;
};

// A window of an ordinary class whose procedure is windowProcedure, with
// the standard listener and a count of the messages the default processing
// received.
class PlainWindow : public WindowBase {
public:
    explicit PlainWindow(
        Application& application, DWORD style = WS_OVERLAPPEDWINDOW, wivel::Rectangle place = { 40, 30, 240, 150 })
        : WindowBase(application)
        , m_style(style)
        , m_place(place)
    {
    }

    void create() override
    {
        static const char* const className = registerClass(application());
        wivel::pendingWindow(this);
        const HWND window = CreateWindowExA(0, className, windowText().c_str(), m_style, m_place.left, m_place.top,
            m_place.width(), m_place.height(), nullptr, nullptr, application().instance(), nullptr);
        if (window == nullptr)
            wivel::withdrawPendingWindow(this);
        ASSERT_NE(window, nullptr);
    }

    void installListeners() override
    {
        addListener(ListenerHandler(this, &WindowBase::standardListener), Dialog::standardPriority);
    }

    LRESULT defaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        defaulted.push_back(message);
        return WindowBase::defaultProcessing(message, wParam, lParam);
    }
    void onMenuCommand(UINT code, UINT id) override { menuCommands.push_back({ code, id }); }
    LRESULT onControlNotify(UINT code, UINT id, NMHDR*) override
    {
        controlNotifications.push_back({ code, id });
        return 0;
    }

    std::vector<UINT> defaulted;
    std::vector<std::pair<UINT, UINT>> menuCommands;
    std::vector<std::pair<UINT, UINT>> controlNotifications;

private:
    static const char* registerClass(Application& application)
    {
        wivel::WindowClass windowClass(application);
        windowClass.className("WivelTestPlain");
        windowClass.registerClass();
        return "WivelTestPlain";
    }

    DWORD m_style;
    wivel::Rectangle m_place;
};

// Wraps a window that exists already, as controls do.
class ExistingWindow : public WindowBase {
public:
    using WindowBase::WindowBase;
    void create() override { FAIL() << "an existing window is not created"; }
    void installListeners() override { }
};

// Clicks a window's close box, found where the window itself says it is.
inline bool clickCloseBox(HWND window)
{
    RECT frame {};
    GetWindowRect(window, &frame);
    for (int y = frame.top; y < frame.top + 40 && y < frame.bottom; ++y) {
        for (int x = frame.right - 1; x > frame.left; --x) {
            if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                winapi::host::click(x, y);
                return true;
            }
        }
    }
    return false;
}

// Ends the thread's message loop with code 99 if the test is still running
// after the limit, so that a loop waiting for input that never comes fails
// instead of hanging.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit = std::chrono::seconds(20))
        : m_thread(GetCurrentThreadId())
        , m_watcher([this, limit] {
            std::unique_lock lock(m_lock);
            if (!m_done.wait_for(lock, limit, [this] { return m_stopped; }))
                PostThreadMessageA(m_thread, WM_QUIT, 99, 0);
        })
    {
    }
    ~Watchdog()
    {
        {
            std::scoped_lock lock(m_lock);
            m_stopped = true;
        }
        m_done.notify_all();
        m_watcher.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    DWORD m_thread;
    std::mutex m_lock;
    std::condition_variable m_done;
    bool m_stopped = false;
    std::thread m_watcher;
};

// Steps run one at a time, each when the thread is next about to wait for
// a message, that is once everything the previous step caused is handled.
// After each step a thread message wakes the thread, so that it comes to
// wait once more even when the step itself queued nothing.
class IdleScript {
public:
    explicit IdleScript(std::vector<std::function<void()>> steps)
        : m_steps(std::move(steps))
    {
        winapi::host::setIdleHandler([this] {
            if (m_next < m_steps.size()) {
                m_steps[m_next++]();
                PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
            }
        });
    }
    ~IdleScript() { winapi::host::setIdleHandler({}); }
    IdleScript(const IdleScript&) = delete;
    IdleScript& operator=(const IdleScript&) = delete;

    std::size_t stepsRun() const { return m_next; }

private:
    std::vector<std::function<void()>> m_steps;
    std::size_t m_next = 0;
};

}
