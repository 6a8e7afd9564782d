// The program's message loop: its end with the quit code, the windows that
// keep it running, failed handlers inside it, the order of accelerators and
// dialog keyboard handling, a worker thread that sends while a message box
// is up, and the program's own main dialog run the way the program runs it.
#include "TestWindowBaseFixture.h"

#include <TestResourceIds.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace windowtests;

class MessageLoopTest : public TestImageFixture { };
class ProgramMessageLoopTest : public ProgramImageFixture { };

TEST_F(MessageLoopTest, RunNeedsAMainWindow) { EXPECT_THROW(m_application.run(), wivel::AssertionFailure); }

TEST_F(MessageLoopTest, RunReturnsTheQuitCode)
{
    for (int code : { 0, 7, -3 }) {
        Application application;
        RecordingDialog dialog(IDD_TEST_PLAIN, application);
        dialog.onInit = [code](RecordingDialog&) { PostQuitMessage(code); };
        application.mainWindow(&dialog);
        const Watchdog watchdog;
        EXPECT_EQ(application.run(), code);
        // run made and showed the main window.
        EXPECT_TRUE(dialog.visible());
        DestroyWindow(dialog.handle());
        drainQueue();
    }
}

TEST_F(MessageLoopTest, TheLoopRunsUntilTheLastWindowIsGone)
{
    RecordingDialog main(IDD_TEST_PLAIN, m_application);
    RecordingDialog second(IDD_TEST_PLAIN, m_application);
    second.show();
    m_application.mainWindow(&main);
    std::size_t windowsLeft = 0;
    const Watchdog watchdog;
    const IdleScript script({
        [&] { second.close(0); },
        [&] {
            windowsLeft = wivel::registeredWindowCount();
            main.close(0);
        },
    });
    EXPECT_EQ(m_application.run(), 0);
    EXPECT_EQ(script.stepsRun(), 2u) << "the loop went on after the first window";
    EXPECT_EQ(windowsLeft, 1u);
    EXPECT_EQ(main.destroyCount, 1);
    EXPECT_EQ(second.destroyCount, 1);
}

TEST_F(MessageLoopTest, AFailedHandlerEndsTheLoopOnlyWhenTheUserSaysSo)
{
    struct Case {
        int answer;
        std::size_t stepsRun;
        std::size_t commands;
        bool windowLeft;
    };
    const std::vector<Case> cases {
        { IDYES, 3, 2, false },
        { IDNO, 1, 1, true },
    };
    for (const Case& c : cases) {
        Application application;
        RecordingDialog main(IDD_TEST_PLAIN, application);
        main.commandHandlers[7] = WindowBase::CommandHandler(&main, &RecordingDialog::command);
        main.onCommand = [&main](UINT, UINT) {
            if (main.commands.size() == 1)
                throw wivel::WivelException("First command fails");
        };
        application.mainWindow(&main);
        int boxes = 0;
        winapi::host::setMessageBoxHandler([&](const winapi::host::MessageBoxInfo& box) {
            ++boxes;
            EXPECT_EQ(box.caption, "Internal Error");
            return c.answer;
        });
        const Watchdog watchdog;
        const IdleScript script({
            [&] { PostMessageA(main.handle(), WM_COMMAND, 7, 0); },
            [&] { PostMessageA(main.handle(), WM_COMMAND, 7, 0); },
            [&] { main.close(0); },
        });
        EXPECT_EQ(application.run(), 0);
        EXPECT_EQ(boxes, 1);
        EXPECT_EQ(script.stepsRun(), c.stepsRun) << c.answer;
        EXPECT_EQ(main.commands.size(), c.commands) << c.answer;
        EXPECT_EQ(IsWindow(main.handle()) != 0, c.windowLeft) << c.answer;
        winapi::host::setMessageBoxHandler({});
        if (IsWindow(main.handle()))
            DestroyWindow(main.handle());
        drainQueue();
    }
}

// Characters that reach a window without a framework object.
std::string& foreignCharacters()
{
    static std::string characters;
    return characters;
}

LRESULT CALLBACK foreignProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR)
        foreignCharacters() += static_cast<char>(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(MessageLoopTest, AcceleratorsComeBeforeTheDialogsKeyboardHandling)
{
    WNDCLASSEXA foreignClass {};
    foreignClass.cbSize = sizeof foreignClass;
    foreignClass.lpfnWndProc = foreignProcedure;
    foreignClass.hInstance = m_application.instance();
    foreignClass.lpszClassName = "WivelTestForeign";
    RegisterClassExA(&foreignClass);

    enum Focus { Edit, Foreign };
    struct Case {
        bool accelerators;
        Focus focus;
        std::vector<std::pair<bool, UINT>> menus;
        bool typedIntoEdit;
        std::string foreign;
    };
    const std::vector<Case> cases {
        // A key of the table is consumed before the dialog keyboard handling
        // and the edit box see it, though the focus is in the edit box.
        { true, Edit, { { true, 302 }, { true, 304 } }, false, "" },
        { false, Edit, {}, true, "" },
        // A window without a framework object anywhere above it gets its
        // keys as they are: the character and Ctrl+K's control character.
        { true, Foreign, {}, false, "a\x0b" },
    };
    for (const Case& c : cases) {
        foreignCharacters().clear();
        Application application;
        RecordingDialog dialog(IDD_TEST_PLAIN, application);
        if (c.accelerators)
            dialog.accelerators(static_cast<UINT>(IDR_TEST_ACCELERATORS));
        EXPECT_EQ(dialog.accelerators() != nullptr, c.accelerators);
        for (UINT id : { 301u, 302u, 303u, 304u })
            dialog.menuHandlers[id] = WindowBase::MenuHandler(&dialog, &RecordingDialog::menu);
        application.mainWindow(&dialog);
        HWND foreign = nullptr;
        std::string editText;
        const Watchdog watchdog;
        const IdleScript script({
            [&] {
                if (c.focus == Foreign) {
                    foreign = CreateWindowExA(0, "WivelTestForeign", "", WS_POPUP | WS_VISIBLE, 300, 300, 50, 50,
                        nullptr, nullptr, application.instance(), nullptr);
                    SetActiveWindow(foreign);
                    SetFocus(foreign);
                } else {
                    SetFocus(GetDlgItem(dialog.handle(), 100));
                }
                winapi::host::typeText("a");
            },
            [&] { winapi::host::pressKeys({ VK_CONTROL, 'K' }); },
            [&] {
                char text[32] {};
                GetDlgItemTextA(dialog.handle(), 100, text, sizeof text);
                editText = text;
                dialog.close(0);
            },
        });
        EXPECT_EQ(application.run(), 0);
        EXPECT_EQ(dialog.menus, c.menus);
        EXPECT_EQ(foreignCharacters(), c.foreign);
        EXPECT_EQ(editText.find('a') != std::string::npos, c.typedIntoEdit) << editText;
        if (foreign != nullptr)
            DestroyWindow(foreign);
        drainQueue();
    }
}

TEST_F(MessageLoopTest, WorkerSendsWhileTheUserInterfaceShowsAMessageBox)
{
    class Counting : public RecordingDialog {
    public:
        explicit Counting(Application& application)
            : RecordingDialog(IDD_TEST_PLAIN, application)
        {
            messageHandlers[WM_APP] = MessageHandler(this, &Counting::count);
        }
        LRESULT count(UINT, WPARAM wParam, LPARAM)
        {
            ++received;
            return static_cast<LRESULT>(wParam) + 1;
        }
        int received = 0;
    };
    Counting dialog(m_application);
    dialog.create();
    constexpr int sends = 3000;
    std::atomic<bool> done { false };
    int wrongAnswers = 0;
    bool pressed = false;
    winapi::host::setMessageBoxHandler([](const winapi::host::MessageBoxInfo&) { return 0; });
    winapi::host::setIdleHandler([&] {
        if (done.load() && !pressed) {
            pressed = true;
            winapi::host::pressKey(VK_RETURN);
        }
    });
    const Watchdog watchdog;
    std::thread worker([&] {
        for (int i = 0; i < sends; ++i) {
            if (dialog.sendMessage(WM_APP, static_cast<WPARAM>(i), 0) != i + 1)
                ++wrongAnswers;
        }
        done = true;
        // Wakes the user-interface thread so that it sees the work is done.
        PostMessageA(dialog.handle(), WM_NULL, 0, 0);
    });
    EXPECT_EQ(dialog.messageBox("Working", "Please wait", MB_OK), IDOK);
    worker.join();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(dialog.received, sends);
    EXPECT_EQ(wrongAnswers, 0);
}

// The program's main dialog: its class registered and its dialog created as
// the program does, then driven with the keys a person presses.
TEST_F(ProgramMessageLoopTest, TheProgramsDialogRunsUntilAPersonClosesIt)
{
    UnregisterClassA("Vexlo", m_application.instance());
    registerVexloClass(m_application);

    class Main : public RecordingDialog {
    public:
        explicit Main(Application& application)
            : RecordingDialog(1, application)
        {
            notifyHandlers[IDOK] = NotificationHandler(this, &Main::onSolve);
            notifyHandlers[IDCANCEL] = NotificationHandler(this, &Main::onStop);
            accelerators(1u);
        }
        LRESULT onSolve(UINT, UINT, NMHDR*) { return ++solves, 0; }
        LRESULT onStop(UINT, UINT, NMHDR*) { return ++stops, 0; }
        int solves = 0;
        int stops = 0;
    };
    Main dialog(m_application);
    ASSERT_NE(dialog.accelerators(), nullptr);
    m_application.mainWindow(&dialog);

    std::vector<int> focus;
    const auto noteFocus = [&] { focus.push_back(GetDlgCtrlID(GetFocus())); };
    const unsigned beeps = winapi::host::beepCount();
    const Watchdog watchdog;
    const IdleScript script({
        [&] {
            noteFocus();
            winapi::host::pressKey(VK_TAB);
        },
        [&] {
            noteFocus();
            winapi::host::pressKey(VK_TAB);
        },
        [&] {
            noteFocus();
            winapi::host::pressKey(VK_RETURN);
        },
        // Stop is disabled while no run is going on: Escape only beeps.
        [&] { winapi::host::pressKey(VK_ESCAPE); },
        [&] { EXPECT_TRUE(clickCloseBox(dialog.handle())); },
    });
    EXPECT_EQ(m_application.run(), 0);
    EXPECT_EQ(script.stepsRun(), 5u);
    EXPECT_EQ(focus, (std::vector { 101, 110, 111 }));
    EXPECT_EQ(dialog.solves, 1);
    EXPECT_EQ(dialog.stops, 0);
    EXPECT_EQ(winapi::host::beepCount(), beeps + 1);
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_EQ(m_application.activeWindow(), nullptr);
    EXPECT_EQ(wivel::registeredWindowCount(), 0u);
}

}
