// The BUTTON and STATIC classes: check states by kind, clicks by the
// mouse, by Space and by BM_CLICK, automatic check boxes and radio groups,
// the dialog codes the dialog manager asks for, and labels and icons.
#include "TestControlsFixture.h"

#include <ResourceImage.h>
#include <resource.h>

using namespace testing_support;
namespace host = winapi::host;

namespace {

class Button : public ControlTest {
protected:
    HWND button(DWORD style, int id = 30, int y = 10, const char* text = "&Button")
    {
        return make("BUTTON", text, WS_TABSTOP | style, { 10, y, 130, y + 24 }, id);
    }
    static LRESULT check(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0); }
    int clicks(HWND button) const
    {
        const std::vector<WORD> codes = notificationsOf(button);
        return static_cast<int>(std::count(codes.begin(), codes.end(), BN_CLICKED));
    }
};

TEST_F(Button, CheckStatesDependOnTheKind)
{
    struct Case {
        DWORD kind;
        LRESULT afterOne;
        LRESULT afterTwo;
        LRESULT code;
    };
    const std::vector<Case> cases {
        { BS_PUSHBUTTON, 0, 0, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON },
        { BS_DEFPUSHBUTTON, 0, 0, DLGC_BUTTON | DLGC_DEFPUSHBUTTON },
        { BS_CHECKBOX, 1, 1, DLGC_BUTTON },
        { BS_AUTOCHECKBOX, 1, 1, DLGC_BUTTON },
        { BS_3STATE, 1, 2, DLGC_BUTTON },
        { BS_AUTO3STATE, 1, 2, DLGC_BUTTON },
        { BS_RADIOBUTTON, 1, 1, DLGC_BUTTON | DLGC_RADIOBUTTON },
        { BS_AUTORADIOBUTTON, 1, 1, DLGC_BUTTON | DLGC_RADIOBUTTON },
        { BS_GROUPBOX, 0, 0, DLGC_STATIC },
    };
    for (const Case& c : cases) {
        HWND b = button(c.kind);
        EXPECT_EQ(check(b), BST_UNCHECKED) << c.kind;
        SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(check(b), c.afterOne) << c.kind;
        SendMessageA(b, BM_SETCHECK, BST_INDETERMINATE, 0);
        EXPECT_EQ(check(b), c.afterTwo) << c.kind;
        EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), c.code) << c.kind;
        SetFocus(b);
        EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0), c.afterTwo | BST_FOCUS) << c.kind;
        SendMessageA(b, BM_SETSTATE, TRUE, 0);
        EXPECT_NE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << c.kind;
        SendMessageA(b, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_EQ(check(b), BST_UNCHECKED) << c.kind;
        DestroyWindow(b);
    }
}

TEST_F(Button, ClicksByMouseSpaceAndMessageChangeAutomaticBoxes)
{
    struct Case {
        DWORD kind;
        std::vector<LRESULT> states; // after each of the three clicks
    };
    const std::vector<Case> cases {
        { BS_PUSHBUTTON, { 0, 0, 0 } },
        { BS_CHECKBOX, { 0, 0, 0 } },
        { BS_AUTOCHECKBOX, { 1, 0, 1 } },
        { BS_AUTO3STATE, { 1, 2, 0 } },
        { BS_AUTORADIOBUTTON, { 1, 1, 1 } },
    };
    for (const Case& c : cases) {
        HWND b = button(c.kind | WS_GROUP);
        log().clear();
        clickAt(b, 10, 10);
        EXPECT_EQ(GetFocus(), b) << "a click gives a button the focus";
        EXPECT_EQ(check(b), c.states[0]) << c.kind;
        press({ VK_SPACE });
        EXPECT_EQ(check(b), c.states[1]) << c.kind;
        SendMessageA(b, BM_CLICK, 0, 0);
        EXPECT_EQ(check(b), c.states[2]) << c.kind;
        EXPECT_EQ(clicks(b), 3) << c.kind;

        // Let go away from the button: no click.
        POINT on { 20, 12 }; // away from the click before, which would make a double click
        POINT off { 300, 300 };
        ClientToScreen(b, &on);
        ClientToScreen(b, &off);
        host::mouseMove(on.x, on.y);
        host::mouseDown();
        host::pumpMessages();
        EXPECT_NE(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << "held down";
        host::mouseMove(off.x, off.y);
        host::pumpMessages();
        EXPECT_EQ(SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << "let out when the mouse leaves";
        host::mouseUp();
        host::pumpMessages();
        EXPECT_EQ(clicks(b), 3) << c.kind;
        EXPECT_EQ(check(b), c.states[2]) << c.kind;

        // A disabled button takes no click.
        EnableWindow(b, FALSE);
        SendMessageA(b, BM_CLICK, 0, 0);
        EXPECT_EQ(clicks(b), 3) << c.kind;
        DestroyWindow(b);
    }
}

TEST_F(Button, AnAutomaticRadioButtonUnchecksTheRestOfItsGroup)
{
    HWND first = button(BS_AUTORADIOBUTTON | WS_GROUP, 31, 10, "&One");
    HWND second = button(BS_AUTORADIOBUTTON, 32, 40, "&Two");
    HWND third = button(BS_RADIOBUTTON, 33, 70, "T&hree");
    HWND other = button(BS_AUTORADIOBUTTON | WS_GROUP, 34, 100, "&Other");
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(third, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(other, BM_SETCHECK, BST_CHECKED, 0);
    clickAt(second, 20, 12);
    EXPECT_EQ(std::vector<LRESULT>({ check(first), check(second), check(third), check(other) }),
        std::vector<LRESULT>({ 0, 1, 0, 1 }));
    EXPECT_EQ(GetWindowLongA(first, GWL_STYLE) & WS_TABSTOP, 0) << "only the checked one of the group is a tab stop";
    EXPECT_NE(GetWindowLongA(second, GWL_STYLE) & WS_TABSTOP, 0);

    log().clear();
    clickAt(second, 10, 10);
    clickAt(second, 10, 10);
    const std::vector<WORD> codes = notificationsOf(second);
    EXPECT_EQ(codes, (std::vector<WORD> { BN_CLICKED, BN_DOUBLECLICKED }));
    log().clear();
    HWND plain = button(BS_PUSHBUTTON, 35, 130);
    clickAt(plain, 10, 10);
    clickAt(plain, 10, 10);
    EXPECT_EQ(clicks(plain), 2) << "a push button's double click is a second click";
    HWND notifying = button(BS_PUSHBUTTON | BS_NOTIFY, 36, 160);
    log().clear();
    clickAt(notifying, 10, 10);
    clickAt(notifying, 10, 10);
    EXPECT_EQ(notificationsOf(notifying), (std::vector<WORD> { BN_SETFOCUS, BN_CLICKED, BN_DOUBLECLICKED }));
}

TEST_F(Button, BmSetStyleChangesOnlyTheKind)
{
    HWND b = button(BS_PUSHBUTTON | BS_NOTIFY);
    SendMessageA(b, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    const LONG style = GetWindowLongA(b, GWL_STYLE);
    EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_NE(style & BS_NOTIFY, 0);
    EXPECT_NE(style & WS_TABSTOP, 0);
    EXPECT_EQ(SendMessageA(b, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    SendMessageA(b, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(GetWindowLongA(b, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

class Static : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    }
};

TEST_F(Static, LabelsPassTheMouseOnUnlessTheyNotify)
{
    HWND label = make("STATIC", "Elapsed time:", SS_RIGHT, { 10, 10, 110, 30 }, 40, dialogFont());
    HWND notifying = make("STATIC", "Press", SS_NOTIFY, { 10, 40, 110, 60 }, 41);
    EXPECT_EQ(SendMessageA(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(SendMessageA(label, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(SendMessageA(label, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(dialogFont()));
    EXPECT_EQ(SetWindowTextA(label, "1.234 sec\r\nsecond line"), TRUE);
    EXPECT_EQ(textOf(label), "1.234 sec\r\nsecond line");

    clickAt(label, 5, 5);
    EXPECT_EQ(notificationsOf(label), std::vector<WORD> {});
    EXPECT_NE(GetFocus(), label) << "a label takes no focus";
    clickAt(notifying, 5, 5);
    clickAt(notifying, 5, 5);
    EXPECT_EQ(notificationsOf(notifying), (std::vector<WORD> { STN_CLICKED, STN_DBLCLK }));
    EnableWindow(notifying, FALSE);
    EXPECT_EQ(notificationsOf(notifying).back(), STN_DISABLE);
}

TEST_F(Static, AnIconControlLoadsTheIconItsTextNamesAndTakesItsSize)
{
    const char byNumber[] = { '\xFF', static_cast<char>(IDI_SOLVER), 0, 0 };
    HWND icon = CreateWindowExA(0, "STATIC", byNumber, WS_CHILD | WS_VISIBLE | SS_ICON, 10, 10, 5, 5, m_parent,
        reinterpret_cast<HMENU>(42), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(icon, nullptr);
    const auto loaded = reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0));
    EXPECT_EQ(loaded, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SOLVER)));
    RECT rect {};
    GetClientRect(icon, &rect);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(textOf(icon), "") << "a resource number is no text";

    HICON other = LoadIconA(nullptr, IDI_EXCLAMATION);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(other), 0)), loaded);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETIMAGE, IMAGE_ICON, 0)), other);

    HWND missing = CreateWindowExA(0, "STATIC", "NoSuchIcon", WS_CHILD | SS_ICON, 10, 60, 5, 5, m_parent,
        reinterpret_cast<HMENU>(43), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(missing, nullptr) << "a missing icon leaves the control empty";
    EXPECT_EQ(SendMessageA(missing, STM_GETICON, 0, 0), 0);
}

}
