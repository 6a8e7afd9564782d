// Dialogs: building from templates (in memory and from the program's
// resources), WM_INITDIALOG and its focus rule, the dialog keyboard (Tab
// order, groups, Enter, Escape, mnemonics), default buttons, modal loops
// with their owner disabled, focus kept across activation, dialog values.
#include "WindowTesting.h"

#include <ResourceImage.h>
#include <resource.h>

using namespace testing_support;
namespace host = winapi::host;

namespace {

// Controls of the test's own classes, answering WM_GETDLGCODE as the
// standard ones do, so that the dialog manager can be watched at work.
LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    log().add({ window, message, wParam, lParam, GetCurrentThreadId() });
    if (message == WM_GETDLGCODE)
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK buttonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    log().add({ window, message, wParam, lParam, GetCurrentThreadId() });
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    switch (message) {
    case WM_GETDLGCODE:
        switch (style & BS_TYPEMASK) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        default: return DLGC_BUTTON;
        }
    case BM_SETSTYLE:
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK)));
        return 0;
    case BM_CLICK:
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
            reinterpret_cast<LPARAM>(window));
        return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK staticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    log().add({ window, message, wParam, lParam, GetCurrentThreadId() });
    return message == WM_GETDLGCODE ? DLGC_STATIC : DefWindowProcA(window, message, wParam, lParam);
}

void registerControls()
{
    static const bool done = [] {
        const std::pair<const char*, WNDPROC> classes[] = { { "TestEdit", editProcedure },
            { "TestButton", buttonProcedure }, { "TestStatic", staticProcedure } };
        for (const auto& [name, procedure] : classes) {
            WNDCLASSEXA record {};
            record.cbSize = sizeof record;
            record.lpfnWndProc = procedure;
            record.lpszClassName = name;
            RegisterClassExA(&record);
        }
        return true;
    }();
    (void)done;
}

// What the dialog procedure saw and does.
struct Behaviour {
    std::vector<std::pair<UINT, WPARAM>> seen; // WM_INITDIALOG and WM_COMMAND ids
    INT_PTR initResult { TRUE };
    bool endOnCommand { false };
    int focusOnInit { 0 };
    LPARAM initParameter { 0 };
};
Behaviour* current = nullptr;

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!current)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        current->seen.emplace_back(message, wParam);
        current->initParameter = lParam;
        if (current->focusOnInit)
            SetFocus(GetDlgItem(dialog, current->focusOnInit));
        return current->initResult;
    case WM_COMMAND:
        current->seen.emplace_back(message, LOWORD(wParam));
        if (current->endOnCommand)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case WM_APP + 1:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 77);
        return TRUE;
    default: return FALSE;
    }
}

std::vector<UINT> commands(const Behaviour& behaviour)
{
    std::vector<UINT> ids;
    for (const auto& [message, id] : behaviour.seen) {
        if (message == WM_COMMAND)
            ids.push_back(static_cast<UINT>(id));
    }
    return ids;
}

class Dialogs : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        registerControls();
        current = &behaviour;
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        current = nullptr;
    }

    // A form: a label, a text box, a disabled and a hidden text box, two
    // radio buttons in a group, and the OK and Cancel buttons.
    TemplateBuilder form(DWORD extraStyle = 0)
    {
        TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle, 10, 10, 200, 120, "Form");
        t.font(8, "MS Sans Serif")
            .item("TestStatic", "&Name:", 100, WS_VISIBLE, 5, 5, 40, 8)
            .item("TestEdit", "", 101, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 50, 5, 60, 12)
            .item("TestEdit", "", 102, WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 50, 20, 60, 12)
            .item("TestEdit", "", 103, WS_TABSTOP, 50, 35, 60, 12)
            .item("TestButton", "&First", 110, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 5, 50, 50, 10)
            .item("TestButton", "&Second", 111, WS_VISIBLE | BS_AUTORADIOBUTTON, 5, 62, 50, 10)
            .item("TestButton", "&Third", 112, WS_VISIBLE | BS_AUTORADIOBUTTON, 5, 74, 50, 10)
            .item("TestButton", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 90, 95, 50, 14)
            .item("TestButton", "&Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 145, 95, 50, 14);
        return t;
    }

    HWND open(TemplateBuilder& t, LPARAM parameter = 0, HWND owner = nullptr)
    {
        return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.get(), owner, dialogProcedure, parameter);
    }

    void type(HWND dialog, const std::vector<UINT>& keys)
    {
        pressTogether(keys);
        host::pumpMessages(dialog);
    }

    Behaviour behaviour;
};

TEST_F(Dialogs, ItemsComeInTemplateOrderWithTheirFontBeforeInitialisation)
{
    TemplateBuilder t = form(WS_VISIBLE | DS_3DLOOK);
    HWND dialog = open(t, 1234);
    ASSERT_NE(dialog, nullptr);
    char className[16];
    GetClassNameA(dialog, className, sizeof className);
    EXPECT_STREQ(className, "#32770");

    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    EXPECT_EQ(ids, (std::vector<int> { 100, 101, 102, 103, 110, 111, 112, IDOK, IDCANCEL }));

    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    for (int id : ids) {
        const auto fonts = [&] {
            std::vector<Delivery> result;
            for (const Delivery& d : log().of(WM_SETFONT)) {
                if (d.window == GetDlgItem(dialog, id))
                    result.push_back(d);
            }
            return result;
        }();
        ASSERT_EQ(fonts.size(), 1U) << id;
        EXPECT_EQ(reinterpret_cast<HFONT>(fonts[0].wParam), font) << id;
    }
    ASSERT_FALSE(behaviour.seen.empty());
    EXPECT_EQ(behaviour.seen[0], std::make_pair(static_cast<UINT>(WM_INITDIALOG), reinterpret_cast<WPARAM>(GetDlgItem(dialog, 101))));
    EXPECT_EQ(behaviour.initParameter, 1234);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 101)) << "TRUE from WM_INITDIALOG: the first tab stop";
    const auto selections = log().of(EM_SETSEL);
    ASSERT_FALSE(selections.empty());
    EXPECT_EQ(selections.back().window, GetDlgItem(dialog, 101));
    EXPECT_EQ(selections.back().lParam, -1);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));

    // Items sit where the dialog units of the template put them.
    RECT expected { 50, 5, 110, 17 };
    ASSERT_TRUE(MapDialogRect(dialog, &expected));
    RECT actual;
    GetWindowRect(GetDlgItem(dialog, 101), &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_TRUE(EqualRect(&actual, &expected));
    RECT units { 0, 0, 4, 8 };
    MapDialogRect(dialog, &units);
    EXPECT_GE(units.right, 5) << "the base units of an 8-point sans face";
    EXPECT_LE(units.right, 8);
    EXPECT_GE(units.bottom, 11);
    EXPECT_LE(units.bottom, 17);
    // The 3-D look turns borders into sunken edges.
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, 101), GWL_STYLE) & WS_BORDER);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, 101), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(Dialogs, AProcedureThatSetsTheFocusItselfKeepsIt)
{
    behaviour.initResult = FALSE;
    behaviour.focusOnInit = IDCANCEL;
    TemplateBuilder t = form(WS_VISIBLE);
    HWND dialog = open(t);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDCANCEL);
    EXPECT_EQ(GetParent(GetFocus()), dialog);
}

TEST_F(Dialogs, TabMovesOverVisibleEnabledTabStops)
{
    TemplateBuilder t = form(WS_VISIBLE);
    HWND dialog = open(t);
    ASSERT_EQ(GetDlgCtrlID(GetFocus()), 101);
    const struct {
        std::vector<UINT> keys;
        int focus;
    } steps[] = {
        { { VK_TAB }, 110 },
        { { VK_TAB }, IDOK },
        { { VK_TAB }, IDCANCEL },
        { { VK_TAB }, 101 }, // round again, past the label, the disabled and the hidden box
        { { VK_SHIFT, VK_TAB }, IDCANCEL },
        { { VK_SHIFT, VK_TAB }, IDOK },
    };
    for (const auto& step : steps) {
        type(dialog, step.keys);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), step.focus);
    }
    // A push button with the focus stands in as the default one.
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    type(dialog, { VK_TAB });
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    type(dialog, { VK_TAB });
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);

    struct Query {
        int from;
        BOOL previous;
        int tab;
        int group;
    };
    const Query queries[] = {
        { 101, FALSE, 110, 100 },
        { 110, FALSE, IDOK, 111 },
        { 110, TRUE, 101, 112 },
        { 112, FALSE, IDOK, 110 },
        { IDCANCEL, FALSE, 101, IDOK },
    };
    for (const Query& q : queries) {
        HWND from = GetDlgItem(dialog, q.from);
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, from, q.previous)), q.tab) << q.from;
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgGroupItem(dialog, from, q.previous)), q.group) << q.from;
    }
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, nullptr, FALSE)), 101);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, nullptr, TRUE)), IDCANCEL);
}

TEST_F(Dialogs, ArrowKeysMoveWithinAGroupAndClickRadioButtons)
{
    TemplateBuilder t = form(WS_VISIBLE);
    HWND dialog = open(t);
    SetFocus(GetDlgItem(dialog, 110));
    const struct {
        UINT key;
        int focus;
    } steps[] = { { VK_DOWN, 111 }, { VK_DOWN, 112 }, { VK_DOWN, 110 }, { VK_UP, 112 }, { VK_LEFT, 111 } };
    for (const auto& step : steps) {
        log().clear();
        type(dialog, { step.key });
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), step.focus) << step.key;
        const auto clicks = log().of(BM_CLICK);
        ASSERT_EQ(clicks.size(), 1U) << step.key;
        EXPECT_EQ(GetDlgCtrlID(clicks[0].window), step.focus);
    }
    // A text box keeps the arrows for itself.
    SetFocus(GetDlgItem(dialog, 101));
    type(dialog, { VK_DOWN });
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101);
}

TEST_F(Dialogs, EnterAndEscape)
{
    TemplateBuilder t = form(WS_VISIBLE);
    HWND dialog = open(t);
    struct Case {
        const char* what;
        std::function<void()> prepare;
        UINT key;
        std::vector<UINT> commands;
        bool beeps;
    };
    const Case cases[] = {
        { "Enter presses the default button", [] {}, VK_RETURN, { IDOK }, false },
        { "Escape is Cancel", [] {}, VK_ESCAPE, { IDCANCEL }, false },
        { "another default", [&] { SendMessageA(dialog, DM_SETDEFID, 111, 0); }, VK_RETURN, { 111 }, false },
        { "a focused push button", [&] { SetFocus(GetDlgItem(dialog, IDCANCEL)); }, VK_RETURN, { IDCANCEL }, false },
        { "a disabled default beeps", [&] {
             SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
             SetFocus(GetDlgItem(dialog, 101));
             EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
         }, VK_RETURN, {}, true },
        { "a disabled Cancel beeps", [&] { EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE); }, VK_ESCAPE, {}, true },
    };
    for (const Case& c : cases) {
        c.prepare();
        behaviour.seen.clear();
        const unsigned beeps = host::beepCount();
        type(dialog, { c.key });
        EXPECT_EQ(commands(behaviour), c.commands) << c.what;
        EXPECT_EQ(host::beepCount() != beeps, c.beeps) << c.what;
    }

    // Without a default button Enter means IDOK even with no such button.
    TemplateBuilder bare(WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 100, 50, "Bare");
    bare.item("TestEdit", "", 5, WS_VISIBLE | WS_TABSTOP, 5, 5, 50, 12);
    HWND other = open(bare);
    behaviour.seen.clear();
    type(other, { VK_RETURN });
    type(other, { VK_ESCAPE });
    EXPECT_EQ(commands(behaviour), (std::vector<UINT> { IDOK, IDCANCEL }));

    // The close box is the Cancel command.
    behaviour.seen.clear();
    SendMessageA(other, WM_SYSCOMMAND, SC_CLOSE, 0);
    host::pumpMessages(other);
    EXPECT_EQ(commands(behaviour), (std::vector<UINT> { IDCANCEL }));
}

TEST_F(Dialogs, MnemonicsChooseControls)
{
    TemplateBuilder t = form(WS_VISIBLE);
    HWND dialog = open(t);
    SetFocus(GetDlgItem(dialog, IDOK));
    type(dialog, { VK_MENU, 'N' });
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101) << "a label's mnemonic reaches the control after it";
    behaviour.seen.clear();
    type(dialog, { VK_MENU, 'C' });
    EXPECT_EQ(commands(behaviour), (std::vector<UINT> { IDCANCEL }));
    // Without Alt, only where the focused control takes no characters.
    behaviour.seen.clear();
    log().clear();
    type(dialog, { 'S' });
    EXPECT_TRUE(commands(behaviour).empty());
    EXPECT_EQ(log().of(WM_CHAR).size(), 1U) << "the text box gets the character";
    SetFocus(GetDlgItem(dialog, IDOK));
    type(dialog, { 'S' });
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 111);
    EXPECT_EQ(commands(behaviour), (std::vector<UINT> { 111 }));
}

TEST_F(Dialogs, TheFocusComesBackWithActivation)
{
    TemplateBuilder t = form(WS_VISIBLE);
    HWND dialog = open(t);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    const std::string name = recordingClass();
    HWND other = CreateWindowExA(0, name.c_str(), "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 400, 100, 100,
        nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetFocus(), other);
    SetActiveWindow(dialog);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDCANCEL);
    // A hidden control gives the focus back to the dialog's first control.
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101);
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_SHOW);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    // WM_NEXTDLGCTL moves it as Tab does.
    SendMessageA(dialog, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 101) << "round from the last";
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 112)), TRUE);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 112);
}

TEST_F(Dialogs, DialogValues)
{
    TemplateBuilder t = form();
    HWND dialog = open(t);
    EXPECT_EQ(SendMessageA(dialog, WM_APP + 1, 0, 0), 77) << "the result stored with DWLP_MSGRESULT";
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&dialogProcedure));
    SetWindowLongPtrA(dialog, DWLP_USER, 99);
    EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_USER), 99);
    EXPECT_EQ(GetWindowLongA(dialog, DWL_USER), 99);
    EXPECT_TRUE(SetDlgItemTextA(dialog, 101, "hello"));
    char text[16];
    EXPECT_EQ(GetDlgItemTextA(dialog, 101, text, sizeof text), 5U);
    EXPECT_STREQ(text, "hello");
    EXPECT_TRUE(SetDlgItemInt(dialog, 101, static_cast<UINT>(-42), TRUE));
    BOOL translated = FALSE;
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(dialog, 101, &translated, TRUE)), -42);
    EXPECT_TRUE(translated);
    GetDlgItemInt(dialog, 100, &translated, FALSE);
    EXPECT_FALSE(translated) << "\"&Name:\" is no number";
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(dialog, 4711), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
    EXPECT_EQ(GetDlgItemTextA(dialog, 4711, text, sizeof text), 0U);
    EXPECT_STREQ(text, "");
    const std::string name = recordingClass();
    HWND plain = CreateWindowExA(0, name.c_str(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    RECT rect {};
    EXPECT_FALSE(MapDialogRect(plain, &rect));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WINDOW_NOT_DIALOG));
    EXPECT_FALSE(EndDialog(plain, 1));
    {
        host::ScopedFailure failure("CreateDialogIndirectParamA", 1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(open(t), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }
}

TEST_F(Dialogs, AModalDialogRunsWithItsOwnerDisabled)
{
    const std::string name = recordingClass();
    HWND owner = CreateWindowExA(0, name.c_str(), "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300, nullptr,
        nullptr, nullptr, nullptr);
    host::pumpMessages();
    behaviour.endOnCommand = true;
    struct Case {
        UINT key;
        INT_PTR result;
    };
    for (const Case c : { Case { VK_RETURN, IDOK }, Case { VK_ESCAPE, IDCANCEL } }) {
        bool ownerWasDisabled = false;
        bool pressed = false;
        log().clear();
        host::setIdleHandler([&] {
            if (pressed)
                return;
            pressed = true;
            ownerWasDisabled = !IsWindowEnabled(owner);
            host::pressKey(c.key);
        });
        TemplateBuilder t = form();
        EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.get(), owner, dialogProcedure, 0), c.result);
        host::setIdleHandler({});
        EXPECT_TRUE(ownerWasDisabled);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_EQ(GetActiveWindow(), owner);
        bool idleToOwner = false;
        for (const Delivery& d : log().of(WM_ENTERIDLE))
            idleToOwner = idleToOwner || (d.window == owner && d.wParam == MSGF_DIALOGBOX);
        EXPECT_TRUE(idleToOwner);
    }
    EXPECT_EQ(EnumChildWindows(nullptr, [](HWND window, LPARAM) -> BOOL {
        char className[16];
        GetClassNameA(window, className, sizeof className);
        return std::string(className) != "#32770";
    }, 0), TRUE) << "the dialogs are gone";

    // A quit message ends the loop and is left for the loop outside.
    host::setIdleHandler([] { PostQuitMessage(3); });
    behaviour.endOnCommand = false;
    TemplateBuilder t = form();
    DialogBoxIndirectParamA(nullptr, t.get(), owner, dialogProcedure, 0);
    host::setIdleHandler({});
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3U);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(Dialogs, AnExtendedTemplate)
{
    TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 120, 60, "Extended", {}, 0, true);
    t.font(8, "MS Sans Serif", FW_BOLD)
        .item("TestEdit", "", 70000, WS_VISIBLE | WS_TABSTOP, 5, 5, 60, 12, WS_EX_STATICEDGE)
        .item("TestButton", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 5, 30, 50, 14);
    HWND dialog = open(t);
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, 70000);
    ASSERT_NE(edit, nullptr) << "identifiers of extended templates have 32 bits";
    EXPECT_EQ(GetWindowLongA(edit, GWL_ID), 70000);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    LOGFONTA font {};
    ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font),
        static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(Dialogs, TheAboutBoxFromTheProgramsResources)
{
    host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    for (const UINT key : { VK_RETURN, VK_ESCAPE }) {
        bool pressed = false;
        host::setIdleHandler([&] {
            if (!pressed)
                host::pressKey(key);
            pressed = true;
        });
        // Its OK button has the Cancel command's identifier.
        const DLGPROC closeOnCommand = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
            if (message == WM_COMMAND)
                EndDialog(dialog, LOWORD(wParam));
            return message == WM_INITDIALOG;
        };
        EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, closeOnCommand, 0),
            IDCANCEL)
            << key;
        host::setIdleHandler({});
    }
}

TEST_F(Dialogs, FromTheProgramsResources)
{
    host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    WNDCLASSEXA record {};
    record.cbSize = sizeof record;
    record.lpfnWndProc = DefDlgProcA;
    record.cbWndExtra = DLGWINDOWEXTRA;
    record.hInstance = GetModuleHandleA(nullptr);
    record.lpszClassName = "Vexlo";
    WNDCLASSEXA known {};
    if (!GetClassInfoExA(nullptr, "Vexlo", &known)) {
        ASSERT_NE(RegisterClassExA(&record), 0);
    }

    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), nullptr, dialogProcedure, 0);
    ASSERT_NE(dialog, nullptr);
    char text[64];
    GetClassNameA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Vexlo");
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Tarvix Number Solver");
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child) == 0xFFFF ? -1 : GetDlgCtrlID(child));
    EXPECT_EQ(ids, (std::vector<int> { 101, 110, 111, 112, 113, 114, 115, -1, 120, -1, 121, -1, 122, 1, 2, 130, 102 }));
    HMENU menu = GetMenu(dialog);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 101));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 2))) << "Stop starts hidden";
    EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(1, DC_HASDEFID));
    // Tab goes over the boxes and Solve and Reset, never the list.
    std::vector<int> tabs;
    for (HWND at = GetFocus(); tabs.size() < 10;) {
        at = GetNextDlgTabItem(dialog, at, FALSE);
        tabs.push_back(GetDlgCtrlID(at));
    }
    EXPECT_EQ(tabs, (std::vector<int> { 110, 111, 112, 113, 114, 115, 1, 130, 101, 110 }));
    DestroyWindow(dialog);
    EXPECT_FALSE(IsMenu(menu)) << "the menu goes with its window";

    SetLastError(0);
    EXPECT_EQ(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999), nullptr, dialogProcedure, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(999), nullptr, dialogProcedure, 0), -1);
    UnregisterClassA("Vexlo", nullptr);
    EXPECT_EQ(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), nullptr, dialogProcedure, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

}
