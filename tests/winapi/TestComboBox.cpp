// The COMBOBOX class in its three kinds: the list's messages under their
// CB_ names with the platform's results, the field that shows the
// selection, dropping the list down and choosing from it with keys and the
// mouse, typing into a combo box's edit box, and its notifications.
#include "TestControlsFixture.h"

using namespace testing_support;
namespace host = winapi::host;

namespace {

class ComboBox : public ControlTest {
protected:
    HWND combo(DWORD kind, int id = 50, int y = 10, int height = 120)
    {
        HWND box = make("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | kind, { 10, y, 160, y + height }, id, dialogFont());
        for (const char* text : { "apple", "banana", "cherry", "date", "elderberry" })
            SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        return box;
    }
    static LRESULT selected(HWND box) { return SendMessageA(box, CB_GETCURSEL, 0, 0); }
    static bool dropped(HWND box) { return SendMessageA(box, CB_GETDROPPEDSTATE, 0, 0) != 0; }
    // The screen point at the middle of a line of the dropped list.
    static POINT linePoint(HWND box, int index)
    {
        RECT list {};
        SendMessageA(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
        const int height = static_cast<int>(SendMessageA(box, CB_GETITEMHEIGHT, 0, 0));
        return { list.left + 20, list.top + 1 + index * height + height / 2 };
    }
    static void clickScreen(POINT point)
    {
        host::click(point.x, point.y);
        host::pumpMessages();
    }
};

TEST_F(ComboBox, ListMessagesAnswerUnderTheirComboBoxNames)
{
    for (DWORD kind : { static_cast<DWORD>(CBS_SIMPLE), static_cast<DWORD>(CBS_DROPDOWN), static_cast<DWORD>(CBS_DROPDOWNLIST) }) {
        SCOPED_TRACE(kind);
        HWND box = combo(kind | CBS_SORT);
        expectAnswers(box, {
            { CB_GETCOUNT, 0, nullptr, 5 },
            { CB_ADDSTRING, 0, "Avocado", 1 },
            { CB_INSERTSTRING, 0, "zucchini", 0 },
            { CB_INSERTSTRING, 99, "x", CB_ERR },
            { CB_DELETESTRING, 0, nullptr, 6 },
            { CB_DELETESTRING, 6, nullptr, CB_ERR },
            { CB_FINDSTRING, static_cast<WPARAM>(-1), "BAN", 2 },
            { CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "cherry", 3 },
            { CB_FINDSTRING, 3, "a", 0 },
            { CB_FINDSTRING, static_cast<WPARAM>(-1), "fig", CB_ERR },
            { CB_GETLBTEXTLEN, 5, nullptr, 10 },
            { CB_GETLBTEXTLEN, 6, nullptr, CB_ERR },
            { CB_SETCURSEL, 6, nullptr, CB_ERR },
            { CB_SETTOPINDEX, 9, nullptr, CB_ERR },
            { CB_SETCURSEL, 3, nullptr, 3 },
        });
        EXPECT_EQ(textOf(box), "cherry") << "the field shows the selection";
        EXPECT_EQ(SendMessageA(box, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("e")), 5);
        EXPECT_EQ(textOf(box), "elderberry");
        EXPECT_EQ(SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(-1), 0), CB_ERR);
        EXPECT_EQ(selected(box), CB_ERR);
        EXPECT_EQ(textOf(box), "");
        EXPECT_EQ(notificationsOf(box), std::vector<WORD> {}) << "a program's changes are not reported";

        const bool hasEdit = kind != CBS_DROPDOWNLIST;
        EXPECT_EQ(SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed")), hasEdit ? TRUE : CB_ERR);
        EXPECT_EQ(SendMessageA(box, CB_LIMITTEXT, 2, 0), hasEdit ? TRUE : CB_ERR);
        host::failNext("CB_ADDSTRING", 1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("fig")), CB_ERRSPACE);
        EXPECT_EQ(SendMessageA(box, CB_RESETCONTENT, 0, 0), CB_OKAY);
        EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(textOf(box), "") << "emptying the list empties the field";
        DestroyWindow(box);
        log().clear();
    }
}

TEST_F(ComboBox, DropDownSettingsAndTheFieldsHeight)
{
    HWND box = combo(CBS_DROPDOWNLIST);
    RECT window {};
    GetWindowRect(box, &window);
    const LRESULT field = SendMessageA(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    EXPECT_GT(window.bottom - window.top, field) << "the field and its edge";
    EXPECT_LT(window.bottom - window.top, 120) << "a drop-down combo box is as high as its field";
    winapi::gdi::FontMeasures measures;
    ASSERT_TRUE(winapi::gdi::fontMeasures(dialogFont(), measures));
    EXPECT_EQ(SendMessageA(box, CB_GETITEMHEIGHT, 0, 0), measures.height) << "a line of the list";

    EXPECT_EQ(SendMessageA(box, CB_GETDROPPEDWIDTH, 0, 0), 150) << "at least the combo box's width";
    EXPECT_EQ(SendMessageA(box, CB_SETDROPPEDWIDTH, 220, 0), 220);
    EXPECT_EQ(SendMessageA(box, CB_GETDROPPEDWIDTH, 0, 0), 220);
    EXPECT_EQ(SendMessageA(box, CB_GETEXTENDEDUI, 0, 0), FALSE);
    EXPECT_EQ(SendMessageA(box, CB_SETEXTENDEDUI, TRUE, 0), CB_OKAY);
    EXPECT_EQ(SendMessageA(box, CB_GETEXTENDEDUI, 0, 0), TRUE);

    EXPECT_EQ(SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_TRUE(dropped(box));
    RECT list {};
    SendMessageA(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
    EXPECT_EQ(list.top, window.top + (window.bottom - window.top)) << "right below the field";
    EXPECT_EQ(list.right - list.left, 220);
    EXPECT_EQ(list.bottom - list.top, 120 - (window.bottom - window.top)) << "the rest of the height it was made with";
    EXPECT_EQ(GetActiveWindow(), m_parent) << "the dropped list takes no activation";
    SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_FALSE(dropped(box));
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP }));
}

TEST_F(ComboBox, ADropDownListIsChosenFromWithKeysAndTheMouse)
{
    HWND box = combo(CBS_DROPDOWNLIST);
    clickAt(box, 20, 5);
    EXPECT_EQ(GetFocus(), box);
    EXPECT_TRUE(dropped(box)) << "a click on the field drops the list";
    clickScreen(linePoint(box, 2));
    EXPECT_FALSE(dropped(box)) << "a click on a line chooses it";
    EXPECT_EQ(selected(box), 2);
    EXPECT_EQ(textOf(box), "cherry");
    EXPECT_EQ(notificationsOf(box),
        (std::vector<WORD> { CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP }));

    struct Key {
        std::vector<UINT> keys; // an initializer list would not outlive the table
        LRESULT selected;
        bool dropped;
    };
    const std::vector<Key> keys {
        { { VK_DOWN }, 3, false },
        { { VK_HOME }, 0, false },
        { { VK_F4 }, 0, true },
        { { VK_DOWN }, 1, true },
        { { VK_RETURN }, 1, false },
        { { 'E' }, 4, false },
        { { VK_MENU, VK_DOWN }, 4, true },
        { { VK_UP }, 3, true },
        { { VK_ESCAPE }, 3, false },
        { { VK_END }, 4, false },
    };
    for (const Key& k : keys) {
        press(k.keys);
        EXPECT_EQ(selected(box), k.selected) << k.keys.front();
        EXPECT_EQ(dropped(box), k.dropped) << k.keys.front();
    }
    EXPECT_EQ(textOf(box), "elderberry");

    // A press outside the dropped list closes it and changes nothing.
    press({ VK_F4 });
    ASSERT_TRUE(dropped(box));
    log().clear();
    clickAt(m_parent, 400, 300);
    EXPECT_FALSE(dropped(box));
    EXPECT_EQ(selected(box), 4);
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { CBN_SELENDCANCEL, CBN_CLOSEUP }));

    // The extended interface drops with Down, and not with F4.
    SendMessageA(box, CB_SETEXTENDEDUI, TRUE, 0);
    press({ VK_F4 });
    EXPECT_FALSE(dropped(box));
    press({ VK_DOWN });
    EXPECT_TRUE(dropped(box));
    // Losing the focus closes it too.
    SetFocus(m_parent);
    EXPECT_FALSE(dropped(box));
}

TEST_F(ComboBox, ADropDownComboBoxTakesTypingAndTheListsLines)
{
    HWND box = combo(CBS_DROPDOWN);
    HWND edit = GetDlgItem(box, 1001);
    ASSERT_NE(edit, nullptr) << "the edit box of a combo box";
    clickAt(box, 20, 5);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_FALSE(dropped(box)) << "a click in the edit box drops nothing";
    type("ba");
    EXPECT_EQ(textOf(box), "ba");
    std::vector<WORD> codes = notificationsOf(box);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_EDITCHANGE), 2);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_EDITUPDATE), 2);
    EXPECT_EQ(codes.front(), CBN_SETFOCUS);

    log().clear();
    press({ VK_DOWN });
    EXPECT_EQ(selected(box), 0);
    EXPECT_EQ(textOf(box), "apple");
    EXPECT_EQ(SendMessageA(box, CB_GETEDITSEL, 0, 0), MAKELRESULT(0, 5)) << "the line's text is selected";
    press({ VK_DOWN });
    EXPECT_EQ(textOf(box), "banana");
    EXPECT_EQ(notificationsOf(box), (std::vector<WORD> { CBN_SELCHANGE, CBN_SELCHANGE })) << "no edit change";

    // The button beside the edit box drops the list.
    const std::string wide = "a line a good deal wider than the field of this box";
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    RECT client {};
    GetClientRect(box, &client);
    clickAt(box, client.right - 4, 5);
    EXPECT_TRUE(dropped(box));
    EXPECT_EQ(GetFocus(), edit);
    clickScreen(linePoint(box, 5));
    EXPECT_FALSE(dropped(box));
    EXPECT_EQ(textOf(box), wide) << "a line wider than the field is shown whole";
    press({ VK_END });
    type("x");
    EXPECT_EQ(textOf(box), wide) << "but typing stops at the field's width";

    SendMessageA(box, CB_LIMITTEXT, 3, 0);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    type("grapefruit");
    EXPECT_EQ(textOf(box), "gra");
    press({ VK_HOME });
    press({ VK_SHIFT, VK_END });
    SendMessageA(box, WM_CUT, 0, 0);
    EXPECT_EQ(textOf(box), "");
    EXPECT_EQ(host::clipboardBytes(CF_TEXT), std::string("gra", 4));
}

TEST_F(ComboBox, ASimpleComboBoxShowsItsListAlways)
{
    HWND box = combo(CBS_SIMPLE);
    HWND list = GetDlgItem(box, 1000);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_FALSE(dropped(box)) << "a simple combo box has nothing to drop";
    const int height = static_cast<int>(SendMessageA(box, CB_GETITEMHEIGHT, 0, 0));
    clickAt(list, 10, height + 1);
    EXPECT_EQ(selected(box), 1);
    EXPECT_EQ(textOf(box), "banana");
    clickAt(list, 10, height + 1);
    const std::vector<WORD> codes = notificationsOf(box);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 1);
    EXPECT_EQ(codes.back(), CBN_DBLCLK);
}

}
