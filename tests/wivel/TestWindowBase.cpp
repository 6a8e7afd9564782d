// The window base against the real window system: bound handlers and the
// listener order, properties remembered before a window exists, geometry of
// child and top-level windows, failures of the platform calls behind the
// properties, the text results of WM_SETTEXT, the menu-item preconditions,
// and window-class building and registration.
#include "TestWindowBaseFixture.h"

#include <wivel/colour.h>
#include <wivel/cursor_icon.h>
#include <wivel/gdiobject.h>

#include <TestResourceIds.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace windowtests;

class WindowBaseTest : public TestImageFixture { };
class ProgramWindowBaseTest : public ProgramImageFixture { };
using wivel::Point;
using wivel::Rectangle;

// Listeners that write their name into a shared trail.
class Trail : public PlainWindow {
public:
    using PlainWindow::PlainWindow;

    LRESULT a(UINT, WPARAM, LPARAM, WindowBase&, bool&) { return mark('a'); }
    LRESULT b(UINT, WPARAM, LPARAM, WindowBase&, bool&) { return mark('b'); }
    LRESULT c(UINT, WPARAM, LPARAM, WindowBase&, bool&) { return mark('c'); }

    std::string trail;

private:
    LRESULT mark(char name)
    {
        trail += name;
        return 0;
    }
};

using Listener = WindowBase::ListenerHandler;

TEST_F(WindowBaseTest, HandlersAreEqualForTheSameObjectAndOperation)
{
    Trail first(m_application);
    Trail second(m_application);
    struct Case {
        Listener left;
        Listener right;
        bool equal;
    };
    const std::vector<Case> cases {
        { Listener(&first, &Trail::a), Listener(&first, &Trail::a), true },
        { Listener(&first, &Trail::a), Listener(&second, &Trail::a), false },
        { Listener(&first, &Trail::a), Listener(&first, &Trail::b), false },
        { Listener(&first, &WindowBase::standardListener), Listener(&first, &WindowBase::standardListener), true },
        { Listener(&first, &WindowBase::standardListener), Listener(&first, &Trail::a), false },
        { Listener(), Listener(), true },
        { Listener(), Listener(&first, &Trail::a), false },
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(cases[i].left == cases[i].right, cases[i].equal) << "case " << i;
}

TEST_F(WindowBaseTest, ListenersRunByDescendingPriorityAndAreRemovedOnce)
{
    struct Added {
        char name;
        std::int32_t priority;
    };
    struct Case {
        std::vector<Added> added;
        std::vector<char> removed;
        std::string calls;
    };
    const std::vector<Case> cases {
        { { { 'a', 5 }, { 'b', 9 }, { 'c', 5 } }, {}, "bac" },
        { { { 'a', -1 }, { 'b', 0 }, { 'c', 1 } }, {}, "cba" },
        // A handler added twice loses only its earlier entry.
        { { { 'a', 5 }, { 'b', 5 }, { 'a', 5 } }, { 'a' }, "ba" },
        { { { 'a', 1 }, { 'b', 7 }, { 'a', 3 } }, { 'a' }, "ba" },
        { { { 'a', 1 }, { 'b', 2 } }, { 'c' }, "ba" },
        { { { 'a', 1 } }, { 'a', 'a' }, "" },
    };
    for (const Case& c : cases) {
        Trail window(m_application);
        const auto handler = [&window](char name) {
            return name == 'a' ? Listener(&window, &Trail::a)
                : name == 'b'  ? Listener(&window, &Trail::b)
                               : Listener(&window, &Trail::c);
        };
        for (const Added& added : c.added)
            window.addListener(handler(added.name), added.priority);
        for (char name : c.removed)
            window.removeListener(handler(name));
        bool handled = false;
        window.dispatch(WM_USER, 0, 0, window, handled);
        EXPECT_EQ(window.trail, c.calls) << c.calls;
        EXPECT_FALSE(handled);
        // The class's standard listener was installed before the first
        // dispatch, below all of these.
        ASSERT_FALSE(window.listeners().empty());
        EXPECT_TRUE(window.listeners().back().handler == Listener(&window, &WindowBase::standardListener));
        for (std::size_t i = 1; i < window.listeners().size(); ++i)
            EXPECT_GE(window.listeners()[i - 1].priority, window.listeners()[i].priority);
    }
}

TEST_F(WindowBaseTest, PropertiesAreRememberedBeforeTheWindowExists)
{
    PlainWindow window(m_application);
    EXPECT_EQ(window.text("Remembered"), "Remembered");
    EXPECT_EQ(window.style(0x00CF0000), 0x00CF0000u);
    EXPECT_EQ(window.style(), 0x00CF0000u);
    EXPECT_EQ(window.exStyle(0x100), 0x100u);
    EXPECT_EQ(window.exStyle(), 0x100u);

    const std::string notCreated = "Window message failed - window not created";
    const std::vector<std::function<void()>> withoutWindow {
        [&] { window.text(); },
        [&] { window.textLength(); },
        [&] { window.sendMessage(WM_NULL, 0, 0); },
        [&] { window.toString(); },
    };
    for (const auto& call : withoutWindow) {
        try {
            call();
            ADD_FAILURE() << "no failure without a window";
        } catch (const wivel::WindowBaseException& failure) {
            EXPECT_EQ(failure.what(), notCreated);
        }
    }

    // The window made afterwards starts with the remembered text.
    window.show();
    ASSERT_NE(window.handle(), nullptr);
    EXPECT_TRUE(window.visible());
    EXPECT_EQ(window.text(), "Remembered");
    EXPECT_EQ(window.toString(), "Remembered");
    EXPECT_EQ(window.text("Changed"), "Changed");
    char platformText[32] {};
    GetWindowTextA(window.handle(), platformText, sizeof platformText);
    EXPECT_STREQ(platformText, "Changed");
    EXPECT_EQ(window.textLength(), 7);
}

// A dialog of the test image with its edit box wrapped as a child.
class ChildGeometry : public TestImageFixture {
protected:
    void SetUp() override
    {
        TestImageFixture::SetUp();
        m_dialog.show();
        ASSERT_NE(m_dialog.handle(), nullptr);
        m_child.emplace(&m_dialog, GetDlgItem(m_dialog.handle(), 100));
        ASSERT_NE(m_child->handle(), nullptr);
    }

    RecordingDialog m_dialog { IDD_TEST_PLAIN, m_application };
    std::optional<ExistingWindow> m_child;
};

TEST_F(ChildGeometry, ChildRectanglesAreInTheParentsClientArea)
{
    RECT screen {};
    GetWindowRect(m_child->handle(), &screen);
    POINT corners[2] { { screen.left, screen.top }, { screen.right, screen.bottom } };
    ScreenToClient(m_dialog.handle(), &corners[0]);
    ScreenToClient(m_dialog.handle(), &corners[1]);
    EXPECT_EQ(m_child->sizeAndPosition(), Rectangle(corners[0].x, corners[0].y, corners[1].x, corners[1].y));
    EXPECT_EQ(m_child->screenRect(), Rectangle(screen.left, screen.top, screen.right, screen.bottom));
    // A top-level window reports screen coordinates.
    EXPECT_EQ(m_dialog.sizeAndPosition(), m_dialog.screenRect());

    // Writing back what screenRect read moves nothing.
    const Rectangle before = m_child->sizeAndPosition();
    m_child->screenRect(m_child->screenRect());
    EXPECT_EQ(m_child->sizeAndPosition(), before);

    const Rectangle placed(7, 5, 57, 25);
    EXPECT_EQ(m_child->sizeAndPosition(placed), placed);
    EXPECT_EQ(m_child->sizeAndPosition(), placed);
    // The edit box has no border: its client area is all of it.
    EXPECT_EQ(m_child->clientRect(), Rectangle(0, 0, placed.width(), placed.height()));

    // Placing a hidden window shows it.
    m_child->visible(false);
    EXPECT_FALSE(m_child->visible());
    m_child->sizeAndPosition(Rectangle(3, 3, 40, 20));
    EXPECT_TRUE(m_child->visible());
}

TEST_F(ChildGeometry, CoordinatesMapBothWays)
{
    Point point(5, 6);
    m_child->toScreenCoords(point);
    POINT expected { 5, 6 };
    ClientToScreen(m_child->handle(), &expected);
    EXPECT_EQ(point, Point(expected.x, expected.y));
    m_child->toClientCoords(point);
    EXPECT_EQ(point, Point(5, 6));

    std::int32_t x = 1;
    std::int32_t y = 2;
    m_dialog.toScreenCoords(x, y);
    m_dialog.toClientCoords(x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);

    std::vector<Rectangle> rectangles { { 0, 0, 10, 10 }, { -5, 3, 2, 8 } };
    const std::vector<Rectangle> original = rectangles;
    m_dialog.toScreenCoords(std::span<Rectangle>(rectangles));
    EXPECT_NE(rectangles, original);
    EXPECT_EQ(rectangles[0].size(), original[0].size());
    m_dialog.toClientCoords(std::span<Rectangle>(rectangles));
    EXPECT_EQ(rectangles, original);
}

// Zero is an ordinary result of both calls, whatever code an earlier call
// left behind.
TEST_F(WindowBaseTest, ZeroResultsThatAreNoFailures)
{
    PlainWindow atOrigin(m_application, WS_POPUP, Rectangle(0, 0, 50, 40));
    atOrigin.show();
    ASSERT_NE(atOrigin.handle(), nullptr);

    SetLastError(ERROR_INVALID_HANDLE);
    Point point(4, 9);
    EXPECT_NO_THROW(atOrigin.toClientCoords(point));
    EXPECT_EQ(point, Point(4, 9));

    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(atOrigin.exStyle(), 0u);
}

TEST_F(ChildGeometry, FailedCallsNameTheCallAndTheOperation)
{
    // Reading the style fails for a window that is gone.
    RecordingDialog temporary(IDD_TEST_PLAIN, m_application);
    temporary.create();
    const HWND gone = temporary.handle();
    DestroyWindow(gone);
    ExistingWindow stale(&m_dialog, gone);
    struct Case {
        const char* call;
        std::function<void(WindowBase&)> action;
        bool withCode;
        std::string message;
        WindowBase* target = nullptr;
    };
    const std::vector<Case> cases {
        { "MapWindowPoints", [](WindowBase& w) { Point p; w.toClientCoords(p); }, false,
            "Unknown exception in Windows API call MapWindowPoints in WindowBase.toClientCoords" },
        { "MapWindowPoints", [](WindowBase& w) { Rectangle r; w.toScreenCoords(r); }, false,
            "Unknown exception in Windows API call MapWindowPoints in WindowBase.toScreenCoords" },
        { "InvalidateRect", [](WindowBase& w) { w.repaint(true); }, false,
            "Unknown exception in Windows API call InvalidateRect in WindowBase.repaint" },
        { "InvalidateRect", [](WindowBase& w) { w.repaint(false, Rectangle(0, 0, 5, 5)); }, false,
            "Unknown exception in Windows API call InvalidateRect in WindowBase.repaint" },
        { "MoveWindow", [](WindowBase& w) { w.sizeAndPosition(Rectangle(0, 0, 5, 5)); }, false,
            "Unknown exception in Windows API call MoveWindow in WindowBase.sizeAndPosition" },
        { "", [](WindowBase& w) { w.style(); }, true,
            "Exception 1400 in Windows API call GetWindowLongA in WindowBase.style:\n", &stale },
        { "SetWindowLongA", [](WindowBase& w) { w.style(w.style()); }, true,
            "Exception 1400 in Windows API call SetWindowLongA in WindowBase.style:\n" },
        { "SetWindowPos", [](WindowBase& w) { w.style(); }, true,
            "Exception 1400 in Windows API call SetWindowPos in WindowBase.style:\n" },
        { "", [](WindowBase& w) { w.exStyle(); }, true,
            "Exception 1400 in Windows API call GetWindowLongA in WindowBase.exStyle:\n", &stale },
        { "SetWindowLongA", [](WindowBase& w) { w.exStyle(0); }, true,
            "Exception 1400 in Windows API call SetWindowLongA in WindowBase.exStyle:\n" },
        { "SetWindowPos", [](WindowBase& w) { w.exStyle(0); }, true,
            "Exception 1400 in Windows API call SetWindowPos in WindowBase.exStyle:\n" },
    };
    for (const Case& c : cases) {
        winapi::host::ScopedFailure failure(c.call, *c.call ? 1 : 0, ERROR_INVALID_WINDOW_HANDLE);
        try {
            c.action(c.target != nullptr ? *c.target : *m_child);
            ADD_FAILURE() << c.message << ": nothing thrown";
        } catch (const wivel::DefinedAPIException& e) {
            EXPECT_TRUE(c.withCode) << c.message;
            EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
            EXPECT_EQ(std::string(e.what()).substr(0, c.message.size()), c.message);
        } catch (const wivel::UnknownAPIException& e) {
            EXPECT_FALSE(c.withCode) << c.message;
            EXPECT_EQ(e.what(), c.message);
        }
    }
    // The caret comes back after a failed repaint.
    ASSERT_TRUE(CreateCaret(m_child->handle(), nullptr, 1, 8));
    ASSERT_TRUE(ShowCaret(m_child->handle()));
    {
        winapi::host::ScopedFailure failure("InvalidateRect", 1, ERROR_INVALID_WINDOW_HANDLE);
        EXPECT_THROW(m_child->repaint(true), wivel::UnknownAPIException);
    }
    EXPECT_TRUE(winapi::host::caret().visible);
    DestroyCaret();
}

// What WM_SETTEXT answers decides the outcome of writing the text.
class TextAnswer : public RecordingDialog {
public:
    TextAnswer(Application& application, LRESULT answer)
        : RecordingDialog(IDD_TEST_PLAIN, application)
        , m_answer(answer)
    {
        messageHandlers[WM_SETTEXT] = MessageHandler(this, &TextAnswer::onSetText);
    }
    LRESULT onSetText(UINT, WPARAM, LPARAM lParam)
    {
        received = reinterpret_cast<const char*>(lParam);
        return m_answer;
    }
    std::string received;

private:
    LRESULT m_answer;
};

TEST_F(WindowBaseTest, WrittenTextIsJudgedByTheWindowsAnswer)
{
    struct Case {
        LRESULT answer;
        std::string failure;
    };
    const std::vector<Case> cases {
        { TRUE, "" },
        { 0, "" },
        { -2, "WindowBase.text failed - text too long" },
        { -1, "WindowBase.text failed - control doesn't accept text" },
    };
    for (const Case& c : cases) {
        TextAnswer window(m_application, c.answer);
        window.create();
        std::string thrown;
        try {
            EXPECT_EQ(window.text("New text"), "New text");
        } catch (const wivel::WindowBaseException& failure) {
            thrown = failure.what();
        }
        EXPECT_EQ(thrown, c.failure) << c.answer;
        EXPECT_EQ(window.received, "New text");
        window.close(0);
    }
}

TEST_F(ProgramWindowBaseTest, MenuItemsAreChangedWithAllowedFlagsOnly)
{
    registerVexloClass(m_application);
    RecordingDialog window(1, m_application);
    window.create();
    ASSERT_NE(GetMenu(window.handle()), nullptr);
    const HMENU solverMenu = GetSubMenu(GetMenu(window.handle()), 0);
    struct Case {
        std::function<void()> change;
        bool allowed;
        UINT copyState;
    };
    constexpr UINT copy = 24323;
    const std::vector<Case> cases {
        { [&] { window.enableMenuItem(copy, MF_ENABLED); }, true, MF_ENABLED },
        { [&] { window.enableMenuItem(copy, MF_GRAYED); }, true, MF_GRAYED },
        { [&] { window.enableMenuItem(copy, MF_CHECKED); }, false, MF_GRAYED },
        { [&] { window.enableMenuItem(4711, MF_GRAYED); }, false, MF_GRAYED },
        { [&] { window.checkMenuItem(copy, MF_CHECKED); }, true, MF_GRAYED | MF_CHECKED },
        { [&] { window.checkMenuItem(copy, MF_GRAYED); }, false, MF_GRAYED | MF_CHECKED },
        { [&] { window.checkMenuItem(4711, MF_CHECKED); }, false, MF_GRAYED | MF_CHECKED },
        { [&] { window.checkMenuItem(copy, MF_UNCHECKED); }, true, MF_GRAYED },
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (cases[i].allowed) {
            EXPECT_NO_THROW(cases[i].change()) << "case " << i;
        } else {
            EXPECT_THROW(cases[i].change(), wivel::AssertionFailure) << "case " << i;
        }
        EXPECT_EQ(GetMenuState(solverMenu, copy, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), cases[i].copyState)
            << "case " << i;
    }
    // The menu bar's Solver menu by position.
    EXPECT_NO_THROW(window.enableMenuItem(0, MF_BYPOSITION | MF_GRAYED));
    EXPECT_EQ(GetMenuState(GetMenu(window.handle()), 0, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
}

// ---- Window classes -----------------------------------------------------

TEST_F(WindowBaseTest, WindowClassStartsWithTheFrameworkDefaults)
{
    wivel::WindowClass first(m_application);
    wivel::WindowClass second(m_application);
    const std::string name = first.className();
    ASSERT_EQ(name.rfind("WIVELWindow", 0), 0u) << name;
    const unsigned number = static_cast<unsigned>(std::stoul(name.substr(11)));
    EXPECT_EQ(second.className(), "WIVELWindow" + std::to_string(number + 1));

    const WNDCLASSEXA& record = first.classRecord;
    EXPECT_EQ(record.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_EQ(record.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_OWNDC));
    EXPECT_EQ(record.lpfnWndProc, &wivel::windowProcedure);
    EXPECT_EQ(record.hInstance, m_application.instance());
    EXPECT_EQ(record.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(record.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(record.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(record.lpszMenuName, nullptr);
    EXPECT_EQ(record.hIconSm, nullptr);

    // A replaced name still used up its number.
    first.className("Renamed");
    EXPECT_EQ(first.className(), "Renamed");
    EXPECT_STREQ(first.classRecord.lpszClassName, "Renamed");
    wivel::WindowClass third(m_application);
    EXPECT_EQ(third.className(), "WIVELWindow" + std::to_string(number + 2));
}

TEST_F(WindowBaseTest, WindowClassKeepsWhatItWasGiven)
{
    wivel::WindowClass windowClass(m_application);

    // The icon by handle after one by object: the reader wraps the handle.
    const auto given = std::make_shared<wivel::Icon>(LoadIconA(nullptr, IDI_HAND), false);
    windowClass.icon(given);
    EXPECT_EQ(windowClass.icon(), given);
    windowClass.icon(LoadIconA(nullptr, IDI_QUESTION));
    const std::shared_ptr<wivel::Icon> wrapped = windowClass.icon();
    ASSERT_NE(wrapped, nullptr);
    EXPECT_NE(wrapped, given);
    EXPECT_EQ(wrapped->handle(), LoadIconA(nullptr, IDI_QUESTION));
    EXPECT_EQ(windowClass.icon(), wrapped);

    // cursorHandle leaves the kept cursor object alone.
    const auto cursor = std::make_shared<wivel::MouseCursor>(LoadCursorA(nullptr, IDC_CROSS), false);
    windowClass.mouseCursor(cursor);
    windowClass.cursorHandle(LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_EQ(windowClass.cursorHandle(), LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_EQ(windowClass.mouseCursor(), cursor);
    windowClass.mouseCursor(nullptr);
    EXPECT_EQ(windowClass.cursorHandle(), nullptr);
    EXPECT_EQ(windowClass.mouseCursor(), nullptr);

    windowClass.background(COLOR_BTNFACE);
    EXPECT_EQ(windowClass.background(), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    windowClass.background(wivel::Colour(10, 20, 30));
    EXPECT_NE(windowClass.background(), nullptr);
    EXPECT_GT(reinterpret_cast<ULONG_PTR>(windowClass.background()), 0xFFFFu);

    windowClass.menuName(11u);
    EXPECT_EQ(windowClass.menuName(), MAKEINTRESOURCEA(11));
    windowClass.menuName(std::string("Menu"));
    EXPECT_STREQ(windowClass.menuName(), "Menu");
}

TEST_F(WindowBaseTest, WindowClassResourceLoadsFailAfterStoring)
{
    using Stored = HANDLE (*)(const wivel::WindowClass&);
    struct Case {
        std::function<void(wivel::WindowClass&)> load;
        Stored stored;
        // The platform's code follows "Exception " when the check reads it.
        bool withCode;
        std::string message;
    };
    const Stored icon = [](const wivel::WindowClass& c) -> HANDLE { return c.classRecord.hIcon; };
    const Stored cursor = [](const wivel::WindowClass& c) -> HANDLE { return c.classRecord.hCursor; };
    const Stored smallIcon = [](const wivel::WindowClass& c) -> HANDLE { return c.classRecord.hIconSm; };
    const std::vector<Case> cases {
        { [](wivel::WindowClass& c) { c.icon(4711u); }, icon, true, " in Windows API call LoadIconA in WindowClass.icon:\n" },
        { [](wivel::WindowClass& c) { c.icon(std::string("Missing")); }, icon, true,
            " in Windows API call LoadIconA in WindowClass.icon:\n" },
        { [](wivel::WindowClass& c) { c.mouseCursor(4711u); }, cursor, true,
            " in Windows API call LoadCursorA in WindowClass.mouseCursor:\n" },
        { [](wivel::WindowClass& c) { c.smallIcon(4711u); }, smallIcon, false,
            "Unknown exception in Windows API call LoadImageA in WindowClass.smallIcon" },
    };
    for (const Case& c : cases) {
        wivel::WindowClass windowClass(m_application);
        windowClass.smallIcon(LoadIconA(nullptr, IDI_HAND));
        try {
            c.load(windowClass);
            ADD_FAILURE() << c.message << ": nothing thrown";
        } catch (const wivel::DefinedAPIException& failure) {
            EXPECT_TRUE(c.withCode) << c.message;
            EXPECT_NE(failure.errorCode(), 0u);
            const std::string expected = "Exception " + std::to_string(failure.errorCode()) + c.message;
            EXPECT_EQ(std::string(failure.what()).substr(0, expected.size()), expected);
        } catch (const wivel::UnknownAPIException& failure) {
            EXPECT_FALSE(c.withCode) << c.message;
            EXPECT_EQ(failure.what(), c.message);
        }
        EXPECT_EQ(c.stored(windowClass), nullptr) << c.message;
    }
    // cursorHandle loads report nothing.
    wivel::WindowClass windowClass(m_application);
    EXPECT_NO_THROW(windowClass.cursorHandle(4711u));
    EXPECT_EQ(windowClass.cursorHandle(), nullptr);
    windowClass.cursorHandle(static_cast<UINT>(IDC_TEST_POINTER));
    EXPECT_NE(windowClass.cursorHandle(), nullptr);
}

TEST_F(WindowBaseTest, WindowClassIsRegisteredOnceAndThenFinished)
{
    wivel::WindowClass windowClass(m_application);
    windowClass.registerClass();
    EXPECT_TRUE(windowClass.registered());
    EXPECT_NO_THROW(windowClass.registerClass());
    WNDCLASSEXA found {};
    found.cbSize = sizeof found;
    EXPECT_TRUE(GetClassInfoExA(m_application.instance(), windowClass.className().c_str(), &found));

    const std::vector<std::function<void()>> changes {
        [&] { windowClass.icon(); },
        [&] { windowClass.icon(HICON {}); },
        [&] { windowClass.smallIcon(); },
        [&] { windowClass.mouseCursor(); },
        [&] { windowClass.mouseCursor(nullptr); },
        [&] { windowClass.cursorHandle(HCURSOR {}); },
        [&] { windowClass.background(COLOR_WINDOW); },
        [&] { windowClass.menuName(1u); },
        [&] { windowClass.className("Late"); },
    };
    for (std::size_t i = 0; i < changes.size(); ++i)
        EXPECT_THROW(changes[i](), wivel::AssertionFailure) << "change " << i;
    // The plain readers still answer.
    EXPECT_NO_THROW(windowClass.cursorHandle());
    EXPECT_NO_THROW(windowClass.background());
    EXPECT_NO_THROW(windowClass.menuName());

    // A second class of the same name is refused by the platform.
    wivel::WindowClass twin(m_application);
    twin.className(windowClass.className());
    try {
        twin.registerClass();
        ADD_FAILURE() << "registered twice";
    } catch (const wivel::DefinedAPIException& failure) {
        EXPECT_EQ(failure.errorCode(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    }
    EXPECT_FALSE(twin.registered());
}

// A registered class keeps painting with its brush after its builder is gone.
TEST_F(WindowBaseTest, RegisteredClassKeepsItsBrush)
{
    HBRUSH brush = nullptr;
    std::string name;
    {
        wivel::WindowClass windowClass(m_application);
        windowClass.background(wivel::Colour(1, 2, 3));
        brush = windowClass.background();
        name = windowClass.className();
        windowClass.registerClass();
    }
    LOGBRUSH description {};
    EXPECT_EQ(GetObjectA(brush, sizeof description, &description), static_cast<int>(sizeof description)) << name;
    EXPECT_EQ(description.lbColor, RGB(1, 2, 3));
}

}
