// Messages on their way from the platform to user code: the binding of a new
// window to its object, the precedence of message handlers, filters and
// listeners, commands from menus, accelerators and controls, notifications,
// activation tracking, the recovery from failed handlers, and the
// destruction bookkeeping.
#include "TestWindowBaseFixture.h"

#include <TestResourceIds.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace windowtests;

class DispatchTest : public TestImageFixture { };
using wivel::ActivationEvent;

// A window whose handlers and listener are switched on by the test and
// write their initial into one trail.
class Precedence : public PlainWindow {
public:
    using PlainWindow::PlainWindow;

    LRESULT handler(UINT, WPARAM, LPARAM)
    {
        trail += 'H';
        return 11;
    }
    LRESULT filter(UINT, WPARAM, LPARAM, WindowBase&, bool& handled)
    {
        trail += 'F';
        handled = filterConsumes;
        return 22;
    }
    LRESULT listener(UINT, WPARAM, LPARAM, WindowBase&, bool& handled)
    {
        trail += 'L';
        handled = listenerConsumes;
        return 33;
    }

    std::string trail;
    bool filterConsumes = false;
    bool listenerConsumes = false;
};

TEST_F(DispatchTest, HandlersFiltersAndListenersTakeTurns)
{
    constexpr UINT probe = WM_APP + 1;
    struct Case {
        bool handler;
        bool filter;
        bool filterConsumes;
        bool listener;
        bool listenerConsumes;
        std::string trail;
        LRESULT result;
        bool defaulted;
    };
    const std::vector<Case> cases {
        // A message handler hides the filter and every listener.
        { true, true, true, true, true, "H", 11, false },
        { true, true, false, true, false, "H", 11, false },
        { false, true, true, true, true, "F", 22, false },
        { false, true, false, true, true, "FL", 33, false },
        // Nobody consumes it: the platform's default answers.
        { false, true, false, true, false, "FL", 0, true },
        { false, false, false, false, false, "", 0, true },
    };
    for (const Case& c : cases) {
        Precedence window(m_application);
        window.show();
        if (c.handler)
            window.messageHandlers[probe] = WindowBase::MessageHandler(&window, &Precedence::handler);
        if (c.filter)
            window.messageFilters[probe] = WindowBase::ListenerHandler(&window, &Precedence::filter);
        if (c.listener)
            window.addListener(WindowBase::ListenerHandler(&window, &Precedence::listener), 0);
        window.filterConsumes = c.filterConsumes;
        window.listenerConsumes = c.listenerConsumes;
        window.defaulted.clear();

        EXPECT_EQ(SendMessageA(window.handle(), probe, 0, 0), c.result) << c.trail;
        EXPECT_EQ(window.trail, c.trail);
        const bool defaulted = std::find(window.defaulted.begin(), window.defaulted.end(), probe) != window.defaulted.end();
        EXPECT_EQ(defaulted, c.defaulted) << c.trail;
        DestroyWindow(window.handle());
    }
}

// Records the commands that reach its handlers.
class Commands : public PlainWindow {
public:
    using PlainWindow::PlainWindow;

    void onMenu(bool fromAccelerator, UINT id) { calls.push_back("menu " + std::to_string(fromAccelerator) + " " + std::to_string(id)); }
    void onCommand(UINT code, UINT id) { calls.push_back("command " + std::to_string(code) + " " + std::to_string(id)); }
    LRESULT onNotify(UINT code, UINT id, NMHDR* header)
    {
        calls.push_back("notify " + std::to_string(code) + " " + std::to_string(id) + (header ? " header" : " null"));
        return 77;
    }

    std::vector<std::string> calls;
};

TEST_F(DispatchTest, CommandsReachMenuCommandAndNotificationHandlers)
{
    enum Source { Menu, Accelerator, Control, Notify };
    struct Case {
        Source source;
        UINT id;
        UINT code;
        std::string call;
        // The hooks that take what no handler took.
        std::vector<std::pair<UINT, UINT>> hooked;
        bool defaulted;
        LRESULT result;
    };
    // 10: menu and command handler; 20: command handler; 30: notification
    // handler; 40: none.
    const std::vector<Case> cases {
        { Menu, 10, 0, "menu 0 10", {}, true, 0 },
        { Accelerator, 10, 1, "menu 1 10", {}, true, 0 },
        { Menu, 20, 0, "command 0 20", {}, true, 0 },
        { Accelerator, 20, 1, "command 1 20", {}, true, 0 },
        { Menu, 40, 0, "", {}, true, 0 },
        { Accelerator, 40, 1, "", {}, true, 0 },
        // From a control: notification handlers take it with no header,
        // and the default processing still runs.
        { Control, 30, BN_CLICKED, "notify 0 30 null", {}, true, 0 },
        { Control, 20, EN_CHANGE, "command 768 20", {}, true, 0 },
        { Control, 40, EN_CHANGE, "", { { EN_CHANGE, 40 } }, true, 0 },
        { Notify, 30, 5, "notify 5 30 header", {}, false, 77 },
        { Notify, 20, 5, "", { { 5, 20 } }, false, 0 },
    };
    for (const Case& c : cases) {
        Commands window(m_application);
        window.show();
        window.menuHandlers[10] = WindowBase::MenuHandler(&window, &Commands::onMenu);
        window.commandHandlers[10] = WindowBase::CommandHandler(&window, &Commands::onCommand);
        window.commandHandlers[20] = WindowBase::CommandHandler(&window, &Commands::onCommand);
        window.notifyHandlers[30] = WindowBase::NotificationHandler(&window, &Commands::onNotify);
        window.defaulted.clear();

        const HWND control = window.handle();
        NMHDR header { control, c.id, c.code };
        const UINT message = c.source == Notify ? WM_NOTIFY : WM_COMMAND;
        const WPARAM wParam = c.source == Notify ? c.id : MAKEWPARAM(c.id, c.code);
        const LPARAM lParam = c.source == Notify ? reinterpret_cast<LPARAM>(&header)
            : c.source == Control                ? reinterpret_cast<LPARAM>(control)
                                                 : 0;
        EXPECT_EQ(SendMessageA(window.handle(), message, wParam, lParam), c.result) << c.call;

        const std::vector<std::string> expected = c.call.empty() ? std::vector<std::string> {} : std::vector { c.call };
        EXPECT_EQ(window.calls, expected) << c.id;
        std::vector<std::pair<UINT, UINT>> hooked = c.source == Menu || c.source == Accelerator ? window.menuCommands
                                                                                                : window.controlNotifications;
        if (c.call.empty() && (c.source == Menu || c.source == Accelerator)) {
            EXPECT_EQ(hooked, (std::vector<std::pair<UINT, UINT>> { { c.code, c.id } }));
        } else {
            EXPECT_EQ(hooked, c.hooked) << c.id;
        }
        const bool defaulted = std::find(window.defaulted.begin(), window.defaulted.end(), message) != window.defaulted.end();
        EXPECT_EQ(defaulted, c.defaulted) << c.call;
        DestroyWindow(window.handle());
    }
}

TEST_F(DispatchTest, FirstMessageBindsThePendingObject)
{
    const std::size_t before = wivel::registeredWindowCount();
    RecordingDialog dialog(IDD_TEST_PLAIN, m_application);
    std::vector<UINT> seenBeforeInit;
    dialog.onInit = [&](RecordingDialog& self) { seenBeforeInit.push_back(self.handle() != nullptr); };
    dialog.create();
    ASSERT_NE(dialog.handle(), nullptr);
    EXPECT_EQ(seenBeforeInit, std::vector<UINT> { 1 });
    EXPECT_EQ(wivel::registeredWindow(dialog.handle()), &dialog);
    EXPECT_EQ(wivel::lookupWindow(dialog.handle()), &dialog);
    EXPECT_EQ(wivel::pendingWindow(), nullptr);
    EXPECT_EQ(wivel::registeredWindowCount(), before + 1);

    // Later messages find the object without touching the pending window.
    RecordingDialog other(IDD_TEST_PLAIN, m_application);
    wivel::pendingWindow(&other);
    SendMessageA(dialog.handle(), WM_COMMAND, MAKEWPARAM(55, 0), 0);
    EXPECT_EQ(dialog.menuCommands, (std::vector<std::pair<UINT, UINT>> { { 0, 55 } }));
    EXPECT_EQ(wivel::pendingWindow(), &other);

    // Another thread's new window does not take this thread's pending object.
    wivel::WindowClass windowClass(m_application);
    windowClass.registerClass();
    HWND stranger = nullptr;
    std::thread([&] {
        stranger = CreateWindowExA(0, windowClass.className().c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
            m_application.instance(), nullptr);
        EXPECT_EQ(wivel::registeredWindow(stranger), nullptr);
        DestroyWindow(stranger);
    }).join();
    EXPECT_NE(stranger, nullptr);
    EXPECT_EQ(wivel::pendingWindow(), &other);
    wivel::withdrawPendingWindow(&other);
    EXPECT_EQ(wivel::pendingWindow(), nullptr);
}

// A window of a framework class made without an object is answered by the
// platform's default processing and never registered.
TEST_F(DispatchTest, WindowsWithoutObjectsGetDefaultProcessing)
{
    wivel::WindowClass windowClass(m_application);
    windowClass.registerClass();
    const std::size_t before = wivel::registeredWindowCount();
    const HWND window = CreateWindowExA(0, windowClass.className().c_str(), "No object", WS_OVERLAPPEDWINDOW, 0, 0,
        100, 80, nullptr, nullptr, m_application.instance(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(wivel::registeredWindow(window), nullptr);
    EXPECT_EQ(wivel::registeredWindowCount(), before);
    EXPECT_EQ(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0), 9);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(quitPosted());
}

TEST_F(DispatchTest, ActivationIsTrackedOnlyAfterInitialisation)
{
    // Its listener sees WM_INITDIALOG before the dialog's own and activates
    // the dialog from there.
    class EarlyDialog : public RecordingDialog {
    public:
        using RecordingDialog::RecordingDialog;
        LRESULT early(UINT message, WPARAM, LPARAM, WindowBase&, bool&)
        {
            if (message == WM_INITDIALOG) {
                SendMessageA(handle(), WM_ACTIVATE, WA_ACTIVE, 0);
                activeDuringInit = application().activeWindow();
            }
            return 0;
        }
        WindowBase* activeDuringInit = this;
    };
    EarlyDialog tracked(IDD_TEST_PLAIN, m_application);
    tracked.addListener(WindowBase::ListenerHandler(&tracked, &EarlyDialog::early), 0);
    tracked.create();
    EXPECT_EQ(tracked.activeDuringInit, nullptr);
    EXPECT_TRUE(tracked.activations.empty());
    ASSERT_TRUE(tracked.initialised());

    const HWND other = reinterpret_cast<HWND>(0x5A5A);
    SendMessageA(tracked.handle(), WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(m_application.activeWindow(), &tracked);
    ASSERT_EQ(tracked.activations.size(), 1u);
    EXPECT_EQ(tracked.activations[0].activatedWindow, &tracked);
    EXPECT_EQ(tracked.activations[0].deactivatedHandle, other);
    EXPECT_EQ(tracked.activations[0].state, static_cast<UINT>(MAKEWPARAM(WA_CLICKACTIVE, 1)));

    SendMessageA(tracked.handle(), WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(other));
    EXPECT_EQ(m_application.activeWindow(), nullptr);
    ASSERT_EQ(tracked.deactivations.size(), 1u);
    EXPECT_EQ(tracked.deactivations[0].deactivatedWindow, &tracked);
    EXPECT_EQ(tracked.deactivations[0].activatedHandle, other);
}

TEST_F(DispatchTest, ActivationRecordsAreBuiltFromTheMessage)
{
    const HWND own = reinterpret_cast<HWND>(0x1000);
    const HWND other = reinterpret_cast<HWND>(0x2000);
    ExistingWindow window(m_application, own);
    struct Case {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool activating;
        WindowBase* activatedWindow;
        WindowBase* deactivatedWindow;
        HWND activatedHandle;
        HWND deactivatedHandle;
        UINT state;
    };
    const LPARAM otherParam = reinterpret_cast<LPARAM>(other);
    const std::vector<Case> cases {
        { WM_ACTIVATE, WA_ACTIVE, otherParam, true, &window, nullptr, own, other, WA_ACTIVE },
        { WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, true, &window, nullptr, own, nullptr, 0x10002 },
        { WM_ACTIVATE, WA_INACTIVE, otherParam, false, nullptr, &window, other, own, WA_INACTIVE },
        { WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0, false, nullptr, &window, nullptr, own, 0x10000 },
        { WM_MDIACTIVATE, reinterpret_cast<WPARAM>(other), reinterpret_cast<LPARAM>(own), true, &window, nullptr, own,
            other, 1 },
        { WM_MDIACTIVATE, reinterpret_cast<WPARAM>(own), otherParam, false, nullptr, &window, other, own, 0 },
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const ActivationEvent event(window, c.message, c.wParam, c.lParam);
        EXPECT_EQ(event.message, c.message) << i;
        EXPECT_EQ(event.isActivating(), c.activating) << i;
        EXPECT_EQ(event.activatedWindow, c.activatedWindow) << i;
        EXPECT_EQ(event.deactivatedWindow, c.deactivatedWindow) << i;
        EXPECT_EQ(event.activatedHandle, c.activatedHandle) << i;
        EXPECT_EQ(event.deactivatedHandle, c.deactivatedHandle) << i;
        EXPECT_EQ(event.state, c.state) << i;
    }
    EXPECT_THROW(ActivationEvent(window, WM_SETFOCUS, 0, 0), wivel::AssertionFailure);
}

// Fails in one of several ways when its command arrives.
class Failing : public RecordingDialog {
public:
    Failing(Application& application, std::function<void()> failure)
        : RecordingDialog(IDD_TEST_PLAIN, application)
        , m_failure(std::move(failure))
    {
        commandHandlers[7] = CommandHandler(this, &Failing::onCommand);
    }
    void onCommand(UINT, UINT)
    {
        ++commands;
        if (commands == 1)
            m_failure();
    }
    int commands = 0;

private:
    std::function<void()> m_failure;
};

TEST_F(DispatchTest, FailedHandlersAskWhetherToGoOn)
{
    const std::string question = "\n\nContinue anyway?\n(Pressing No will exit, losing any unsaved data)";
    struct Case {
        std::function<void()> failure;
        std::string text;
        int answer;
    };
    const std::vector<Case> cases {
        { [] { throw wivel::WivelException("Broken handler"); }, "Broken handler", IDYES },
        { [] { throw wivel::UnknownAPIException("SetFocus", "Test.focus"); },
            "Unknown exception in Windows API call SetFocus in Test.focus", IDNO },
        { [] { wivel::require(false, "never"); }, "", IDYES },
        { [] { throw std::runtime_error("Plain failure"); }, "Plain failure", IDNO },
        { [] { throw 42; }, "Unidentified exception", IDYES },
    };
    for (const Case& c : cases) {
        Failing window(m_application, c.failure);
        window.create();
        std::vector<winapi::host::MessageBoxInfo> boxes;
        winapi::host::setMessageBoxHandler([&](const winapi::host::MessageBoxInfo& box) {
            boxes.push_back(box);
            return c.answer;
        });
        EXPECT_EQ(SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0), 0);
        ASSERT_EQ(boxes.size(), 1u) << c.text;
        EXPECT_EQ(boxes[0].caption, "Internal Error");
        EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
        EXPECT_EQ(boxes[0].owner, window.handle());
        ASSERT_GE(boxes[0].text.size(), question.size());
        EXPECT_EQ(boxes[0].text.substr(boxes[0].text.size() - question.size()), question);
        if (!c.text.empty()) {
            EXPECT_EQ(boxes[0].text, c.text + question);
        }
        WPARAM code = 1;
        EXPECT_EQ(quitPosted(&code), c.answer == IDNO) << c.text;
        EXPECT_EQ(code, c.answer == IDNO ? 0u : 1u);

        // The window still works.
        SendMessageA(window.handle(), WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
        EXPECT_EQ(window.commands, 2);
        EXPECT_EQ(boxes.size(), 1u);
        winapi::host::setMessageBoxHandler({});
        window.close(0);
        drainQueue();
    }
}

TEST_F(DispatchTest, TheLastFrameworkWindowEndsTheProgram)
{
    RecordingDialog first(IDD_TEST_PLAIN, m_application);
    RecordingDialog second(IDD_TEST_PLAIN, m_application);
    first.create();
    second.create();
    const std::size_t before = wivel::registeredWindowCount();
    ASSERT_EQ(before, 2u) << "only this test's windows are registered";
    const HWND firstHandle = first.handle();

    DestroyWindow(firstHandle);
    EXPECT_EQ(first.destroyCount, 1);
    EXPECT_TRUE(first.destroySeen());
    EXPECT_TRUE(first.ncDestroySeen());
    EXPECT_EQ(first.handle(), nullptr);
    EXPECT_EQ(wivel::registeredWindow(firstHandle), nullptr);
    EXPECT_EQ(wivel::registeredWindowCount(), before - 1);
    EXPECT_FALSE(quitPosted()) << "a framework window is left";

    second.close(0);
    WPARAM code = 1;
    EXPECT_TRUE(quitPosted(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_THROW(first.noteDestroyed(WM_CLOSE), wivel::AssertionFailure);

    // A destroyed object may make a new window and is registered again.
    first.create();
    EXPECT_NE(first.handle(), nullptr);
    EXPECT_EQ(wivel::registeredWindow(first.handle()), &first);
    EXPECT_FALSE(first.destroySeen());
    EXPECT_TRUE(first.initialised());
}

// An object that goes before its window leaves nothing behind that a
// message could reach.
TEST_F(DispatchTest, ObjectsLeaveTheRegistryWhenTheyGo)
{
    HWND orphan = nullptr;
    {
        RecordingDialog dialog(IDD_TEST_PLAIN, m_application);
        dialog.create();
        orphan = dialog.handle();
        m_application.activeWindow(&dialog);
    }
    EXPECT_EQ(wivel::registeredWindow(orphan), nullptr);
    EXPECT_EQ(m_application.activeWindow(), nullptr);
    EXPECT_TRUE(IsWindow(orphan));
    SendMessageA(orphan, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(orphan));
    EXPECT_TRUE(DestroyWindow(orphan));
}

// Closing, the end of the session and whether the window agrees to them.
class Reluctant : public RecordingDialog {
public:
    Reluctant(Application& application, bool agrees)
        : RecordingDialog(IDD_TEST_PLAIN, application)
        , m_agrees(agrees)
    {
    }
    bool canClose() override { return m_agrees; }

private:
    bool m_agrees;
};

TEST_F(DispatchTest, SessionEndAndClosingAskTheWindow)
{
    struct Case {
        bool agrees;
        UINT message;
        WPARAM wParam;
        LRESULT result;
        bool destroyed;
        int destroyHooks;
    };
    const std::vector<Case> cases {
        { true, WM_QUERYENDSESSION, 0, 1, false, 0 },
        { false, WM_QUERYENDSESSION, 0, 0, false, 0 },
        { true, WM_ENDSESSION, TRUE, 0, false, 1 },
        { true, WM_ENDSESSION, FALSE, 0, false, 0 },
        { true, WM_CLOSE, 0, 0, true, 1 },
        { false, WM_CLOSE, 0, 0, false, 0 },
    };
    for (const Case& c : cases) {
        Reluctant dialog(m_application, c.agrees);
        dialog.create();
        const HWND window = dialog.handle();
        EXPECT_EQ(SendMessageA(window, c.message, c.wParam, 0), c.result) << c.message;
        EXPECT_EQ(!IsWindow(window), c.destroyed) << c.message;
        EXPECT_EQ(dialog.destroyCount, c.destroyHooks) << c.message << " " << c.wParam;
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
        drainQueue();
    }
}

}
