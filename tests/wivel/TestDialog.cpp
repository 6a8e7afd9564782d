// Dialogs made from templates: the results of modal dialogs closed in each
// way a person closes them, modeless dialogs and their end, OK and Cancel
// from the dialog's controls, the order of the standard listeners, the
// message result of a consumed message, and templates that cannot be made.
#include "TestWindowBaseFixture.h"

#include <TestResourceIds.h>

#include <string>
#include <vector>

namespace {

using namespace windowtests;

class DialogTest : public TestImageFixture { };
class ProgramDialogTest : public ProgramImageFixture { };

TEST_F(ProgramDialogTest, ModalResultsFollowHowTheDialogWasClosed)
{
    registerVexloClass(m_application);
    RecordingDialog owner(2, m_application);
    owner.create();
    struct Case {
        std::string how;
        std::function<void(HWND)> close;
        INT_PTR result;
    };
    // Stop, the Cancel button, is hidden and disabled until the program
    // shows it in Solve's place during a run; Escape presses it only when it
    // is enabled.
    const auto showStop = [](HWND dialog) {
        ShowWindow(GetDlgItem(dialog, IDOK), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_SHOW);
        EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
    };
    const std::vector<Case> cases {
        { "close box", [](HWND dialog) { EXPECT_TRUE(clickCloseBox(dialog)); }, IDCLOSE },
        { "system menu's Close", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCLOSE },
        { "Cancel button", [&](HWND dialog) {
             showStop(dialog);
             winapi::host::clickCentre(GetDlgItem(dialog, IDCANCEL));
         }, IDCANCEL },
        { "Escape", [&](HWND dialog) {
             showStop(dialog);
             winapi::host::pressKey(VK_ESCAPE);
         }, IDCANCEL },
        { "OK button", [](HWND dialog) { winapi::host::clickCentre(GetDlgItem(dialog, IDOK)); }, IDOK },
        { "Enter", [](HWND) { winapi::host::pressKey(VK_RETURN); }, IDOK },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        RecordingDialog modal(1, &owner, true);
        HWND shown = nullptr;
        modal.onInit = [&](RecordingDialog& self) { shown = self.handle(); };
        const Watchdog watchdog;
        const IdleScript script({ [&] {
            if (shown != nullptr)
                c.close(shown);
        } });
        INT_PTR result = 0;
        EXPECT_NO_THROW(result = modal.show());
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(modal.initCount, 1);
        // The object outlives its window and is unregistered.
        EXPECT_EQ(modal.handle(), nullptr);
        EXPECT_FALSE(IsWindow(shown));
        EXPECT_EQ(wivel::registeredWindow(shown), nullptr);
        EXPECT_THROW(modal.create(), wivel::AssertionFailure);
    }
    EXPECT_FALSE(quitPosted()) << "the owner is still there";
}

TEST_F(DialogTest, ModelessDialogIsDestroyedByItsCloseBox)
{
    RecordingDialog dialog(IDD_TEST_PLAIN, m_application);
    EXPECT_TRUE(dialog.isDialog());
    EXPECT_FALSE(dialog.modal());
    EXPECT_EQ(dialog.show(), 0);
    const HWND window = dialog.handle();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(dialog.visible());
    EXPECT_TRUE(dialog.initialised());

    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_EQ(dialog.destroyCount, 1);
    WPARAM code = 1;
    EXPECT_TRUE(quitPosted(&code)) << "it was the only framework window";
    EXPECT_EQ(code, 0u);
}

TEST_F(DialogTest, ControlNotificationsCloseOnOkAndCancelOnly)
{
    struct Case {
        UINT id;
        UINT code;
        bool closes;
        bool notified;
    };
    const std::vector<Case> cases {
        { IDOK, BN_CLICKED, true, false },
        { IDCANCEL, BN_CLICKED, true, false },
        { 100, BN_CLICKED, false, true },
        // A notification with a code and no handler is ignored.
        { 100, EN_CHANGE, false, false },
        { IDOK, EN_CHANGE, false, false },
    };
    for (const Case& c : cases) {
        RecordingDialog dialog(IDD_TEST_PLAIN, m_application);
        dialog.create();
        const HWND window = dialog.handle();
        const HWND edit = GetDlgItem(window, 100);
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(c.id, c.code), reinterpret_cast<LPARAM>(edit));
        EXPECT_EQ(!IsWindow(window), c.closes) << c.id << " " << c.code;
        EXPECT_EQ(!dialog.controlNotifications.empty(), c.notified) << c.id << " " << c.code;
        if (IsWindow(window))
            DestroyWindow(window);
        drainQueue();
    }
}

TEST_F(DialogTest, HandlersForOkAndCancelKeepTheDialogOpen)
{
    class Kept : public RecordingDialog {
    public:
        explicit Kept(Application& application)
            : RecordingDialog(IDD_TEST_PLAIN, application)
        {
            notifyHandlers[IDOK] = NotificationHandler(this, &Kept::onOk);
            commandHandlers[IDCANCEL] = CommandHandler(this, &Kept::onCancel);
        }
        LRESULT onOk(UINT, UINT, NMHDR*) { return ++calls, 0; }
        void onCancel(UINT, UINT) { ++calls; }
        int calls = 0;
    };
    Kept dialog(m_application);
    dialog.create();
    const HWND button = GetDlgItem(dialog.handle(), 100);
    for (UINT id : { IDOK, IDCANCEL })
        SendMessageA(dialog.handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(dialog.calls, 2);
    EXPECT_TRUE(IsWindow(dialog.handle()));
}

// A listener that a subclass adds in its constructor.
class EarlyListener : public RecordingDialog {
public:
    EarlyListener(Application& application, std::int32_t priority, bool consumes)
        : RecordingDialog(IDD_TEST_PLAIN, application)
        , m_consumes(consumes)
    {
        addListener(ListenerHandler(this, &EarlyListener::listen), priority);
    }
    LRESULT listen(UINT message, WPARAM, LPARAM, WindowBase&, bool& handled)
    {
        if (message == WM_INITDIALOG) {
            sawInitBeforeHook = initCount == 0;
            handled = m_consumes;
        }
        return FALSE;
    }
    bool sawInitBeforeHook = false;

private:
    bool m_consumes;
};

TEST_F(DialogTest, StandardListenersComeBelowOrdinaryOnes)
{
    struct Case {
        std::int32_t priority;
        bool consumes;
        bool initialised;
        bool sawInitFirst;
        std::size_t position;
    };
    const std::vector<Case> cases {
        { 0, false, true, true, 0 },
        // Consuming WM_INITDIALOG keeps the hook from running.
        { 0, true, false, true, 0 },
        { Dialog::initDialogPriority, false, true, false, 1 },
        // Equal to a standard listener's priority: after it, so the
        // dialog's own listener has consumed WM_INITDIALOG first.
        { Dialog::standardPriority, false, true, false, 2 },
    };
    for (const Case& c : cases) {
        EarlyListener dialog(m_application, c.priority, c.consumes);
        dialog.create();
        EXPECT_EQ(dialog.initialised(), c.initialised) << c.priority;
        EXPECT_EQ(dialog.initCount, c.initialised ? 1 : 0);
        EXPECT_EQ(dialog.sawInitBeforeHook, c.sawInitFirst) << c.priority;

        const auto& listeners = dialog.listeners();
        ASSERT_EQ(listeners.size(), 3u);
        const WindowBase::ListenerHandler own(&dialog, &EarlyListener::listen);
        EXPECT_TRUE(listeners[c.position].handler == own) << c.priority;
        std::vector<std::int32_t> priorities;
        for (const auto& listener : listeners) {
            if (!(listener.handler == own))
                priorities.push_back(listener.priority);
        }
        EXPECT_EQ(priorities, (std::vector { Dialog::initDialogPriority, Dialog::standardPriority }));
        dialog.close(0);
    }
}

// Consumed messages answer through the dialog's message result.
class Answering : public RecordingDialog {
public:
    explicit Answering(Application& application)
        : RecordingDialog(IDD_TEST_PLAIN, application)
    {
        messageHandlers[WM_APP] = MessageHandler(this, &Answering::answer);
        messageHandlers[WM_APP + 1] = MessageHandler(this, &Answering::closeItself);
    }
    LRESULT answer(UINT, WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) * 3; }
    LRESULT closeItself(UINT, WPARAM, LPARAM)
    {
        close(0);
        return 5;
    }
};

TEST_F(DialogTest, ConsumedMessagesAnswerThroughTheMessageResult)
{
    Answering dialog(m_application);
    dialog.create();
    EXPECT_EQ(SendMessageA(dialog.handle(), WM_APP, 14, 0), 42);

    std::vector<winapi::host::MessageBoxInfo> boxes;
    winapi::host::setMessageBoxHandler([&](const winapi::host::MessageBoxInfo& box) {
        boxes.push_back(box);
        return IDYES;
    });
    // A failed store is a failure of the handling, shown to the user.
    winapi::host::failNext("SetWindowLongPtrA", 1, ERROR_ACCESS_DENIED);
    SendMessageA(dialog.handle(), WM_APP, 1, 0);
    ASSERT_EQ(boxes.size(), 1u);
    const std::string expected = "Exception 5 in Windows API call SetWindowLongPtrA in Dialog.processMessage:\n";
    EXPECT_EQ(boxes[0].text.substr(0, expected.size()), expected);

    // A handler that closed the dialog leaves no window to store a result
    // in; trying would fail and show a box.
    const HWND window = dialog.handle();
    SendMessageA(window, WM_APP + 1, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(boxes.size(), 1u) << boxes.back().text;
}

TEST_F(ProgramDialogTest, TemplatesThatCannotBeMadeFailCleanly)
{
    registerVexloClass(m_application);
    RecordingDialog owner(2, m_application);
    owner.create();
    const std::size_t before = wivel::registeredWindowCount();
    const std::string message = "Could not create dialog - possibly invalid resource ID";
    struct Case {
        std::string what;
        std::function<void()> attempt;
    };
    RecordingDialog missing(4711, m_application);
    RecordingDialog missingModal(4711, &owner, true);
    const std::vector<Case> cases {
        { "missing modeless template", [&] { missing.create(); } },
        { "missing modal template", [&] { missingModal.show(); } },
        { "failed modeless creation", [&] {
             winapi::host::ScopedFailure failure("CreateDialogParamA", 1, ERROR_NOT_ENOUGH_MEMORY);
             RecordingDialog(1, m_application).create();
         } },
        { "failed modal creation", [&] {
             winapi::host::ScopedFailure failure("DialogBoxParamA", 1, ERROR_NOT_ENOUGH_MEMORY);
             RecordingDialog(1, &owner, true).show();
         } },
    };
    for (const Case& c : cases) {
        try {
            c.attempt();
            ADD_FAILURE() << c.what << ": nothing thrown";
        } catch (const wivel::DialogException& failure) {
            EXPECT_EQ(failure.what(), message) << c.what;
        }
        EXPECT_EQ(wivel::registeredWindowCount(), before) << c.what;
        EXPECT_EQ(wivel::pendingWindow(), nullptr) << c.what;
    }
    // The application's lock was given back each time.
    bool free = false;
    std::thread([&] {
        free = m_application.try_lock();
        if (free)
            m_application.unlock();
    }).join();
    EXPECT_TRUE(free);
}

TEST_F(ProgramDialogTest, TemplateOfAnUnregisteredClassCannotBeMade)
{
    UnregisterClassA("Vexlo", m_application.instance());
    RecordingDialog dialog(1, m_application);
    EXPECT_THROW(dialog.create(), wivel::DialogException);
    EXPECT_EQ(wivel::registeredWindowCount(), 0u);
    EXPECT_EQ(wivel::pendingWindow(), nullptr);
}

}
