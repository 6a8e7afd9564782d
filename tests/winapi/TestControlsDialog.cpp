// A dialog with every kind of standard control, built from a template and
// worked only with injected keys and clicks as a person works it: typing
// into a narrow box until it refuses, Tab through the tab stops, Space on a
// check box, arrows through a radio group and a list, a combo box's list
// dropped and chosen from, mnemonics, Enter and Escape for the default and
// Cancel buttons, and the default button moved with DM_SETDEFID.
#include "TestControlsFixture.h"

using namespace testing_support;
namespace host = winapi::host;

namespace {

enum : int {
    nameLabel = 100,
    nameBox = 101,
    notesBox = 102,
    checkBox = 103,
    groupBox = 104,
    firstRadio = 105,
    listBox = 108,
    pickCombo = 109,
    typeCombo = 110,
};

std::vector<std::pair<int, WORD>>& commands()
{
    static std::vector<std::pair<int, WORD>> all;
    return all;
}

INT_PTR CALLBACK recordCommands(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND)
        commands().emplace_back(LOWORD(wParam), HIWORD(wParam));
    return FALSE;
}

class ControlsDialog : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        commands().clear();
        TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 10, 10, 240, 180, "Every control");
        t.font(8, "MS Sans Serif")
            .item("STATIC", "&Name:", nameLabel, WS_VISIBLE, 5, 5, 30, 8)
            .item("EDIT", "", nameBox, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 40, 4, 24, 12)
            .item("EDIT", "", notesBox, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                70, 4, 80, 30)
            .item("BUTTON", "&Check", checkBox, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 5, 40, 60, 10)
            .item("BUTTON", "&One", firstRadio, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 10, 62, 60, 10)
            .item("BUTTON", "&Two", firstRadio + 1, WS_VISIBLE | BS_AUTORADIOBUTTON, 10, 74, 60, 10)
            .item("BUTTON", "T&hree", firstRadio + 2, WS_VISIBLE | BS_AUTORADIOBUTTON, 10, 86, 60, 10)
            // Below the buttons it frames, and a group of its own.
            .item("BUTTON", "Choice", groupBox, WS_VISIBLE | WS_GROUP | BS_GROUPBOX, 5, 52, 80, 50)
            .item("LISTBOX", "", listBox, WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 100, 40,
                60, 50)
            .item("COMBOBOX", "", pickCombo, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 170, 40, 60, 60)
            .item("COMBOBOX", "", typeCombo, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 170, 60, 60, 60)
            .item("BUTTON", "OK", IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 120, 160, 50, 14)
            .item("BUTTON", "Cancel", IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 180, 160, 50, 14);
        m_dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.get(), nullptr, recordCommands, 0);
        ASSERT_NE(m_dialog, nullptr);
        for (const char* line : { "first", "second", "third" }) {
            SendDlgItemMessageA(m_dialog, listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
            SendDlgItemMessageA(m_dialog, pickCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
            SendDlgItemMessageA(m_dialog, typeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
        }
        host::pumpMessages(m_dialog);
        commands().clear();
    }

    HWND item(int id) const { return GetDlgItem(m_dialog, id); }
    int focusId() const
    {
        HWND focus = GetFocus();
        // The edit box of a combo box stands for its combo box.
        if (focus && GetParent(focus) != m_dialog)
            focus = GetParent(focus);
        return GetDlgCtrlID(focus);
    }
    std::string text(int id) const
    {
        char buffer[128] = "";
        GetDlgItemTextA(m_dialog, id, buffer, sizeof buffer);
        return buffer;
    }
    LRESULT send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendDlgItemMessageA(m_dialog, id, message, wParam, lParam);
    }
    void keys(const std::vector<UINT>& pressed) const
    {
        for (UINT key : pressed)
            host::keyDown(key);
        for (auto key = pressed.rbegin(); key != pressed.rend(); ++key)
            host::keyUp(*key);
        host::pumpMessages(m_dialog);
    }
    void typed(std::string_view characters) const
    {
        host::typeText(characters);
        host::pumpMessages(m_dialog);
    }
    // The buttons clicked, in order.
    static std::vector<int> clicks()
    {
        std::vector<int> ids;
        for (const auto& command : commands()) {
            if (command.second == BN_CLICKED)
                ids.push_back(command.first);
        }
        return ids;
    }
    static bool has(const std::pair<int, WORD>& command)
    {
        return std::find(commands().begin(), commands().end(), command) != commands().end();
    }

    HWND m_dialog { nullptr };
};

TEST_F(ControlsDialog, WorksFromTheKeyboardAsItWouldForAPerson)
{
    ASSERT_EQ(focusId(), nameBox) << "the first tab stop";

    // The narrow box takes what fits of a long number, and refuses the rest.
    typed("12345678901234");
    RECT format {};
    send(nameBox, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const auto font = reinterpret_cast<HFONT>(send(nameBox, WM_GETFONT));
    ASSERT_NE(font, nullptr) << "the template's font";
    const std::string kept = fitting(font, "12345678901234", format.right - format.left);
    EXPECT_EQ(text(nameBox), kept);
    EXPECT_LT(kept.size(), 14u);
    EXPECT_TRUE(has({ nameBox, EN_MAXTEXT }));

    struct Step {
        std::vector<UINT> keys; // an initializer list would not outlive the table
        const char* characters;  // typed after the keys
        int focus;
    };
    const std::vector<Step> steps {
        { { VK_TAB }, "a\rb", notesBox },      // ES_WANTRETURN keeps Enter
        { { VK_TAB }, " ", checkBox },          // Space clicks it
        { { VK_TAB }, nullptr, firstRadio },
        { { VK_DOWN }, nullptr, firstRadio + 1 }, // arrows click through the group
        { { VK_DOWN }, nullptr, firstRadio + 2 },
        { { VK_TAB }, nullptr, listBox },
        { { VK_DOWN }, nullptr, listBox },
        { { VK_DOWN }, nullptr, listBox },
        { { VK_TAB }, nullptr, pickCombo },
        { { VK_F4 }, nullptr, pickCombo },
        { { VK_DOWN }, nullptr, pickCombo }, // selects the first line
        { { VK_DOWN }, nullptr, pickCombo },
        { { VK_RETURN }, nullptr, pickCombo }, // closes the list, presses no button
        { { VK_TAB }, "xy", typeCombo },
        { { VK_TAB }, nullptr, IDOK },
        { { VK_TAB }, nullptr, IDCANCEL },
        { { VK_SHIFT, VK_TAB }, nullptr, IDOK },
        { { VK_MENU, 'N' }, nullptr, nameBox }, // the label's mnemonic goes to the box after it
    };
    for (const Step& step : steps) {
        keys(step.keys);
        if (step.characters)
            typed(step.characters);
        EXPECT_EQ(focusId(), step.focus) << step.keys.front() << " " << (step.characters ? step.characters : "");
    }
    EXPECT_EQ(text(notesBox), "a\r\nb");
    EXPECT_EQ(send(checkBox, BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(std::vector<LRESULT>({ send(firstRadio, BM_GETCHECK), send(firstRadio + 1, BM_GETCHECK),
                  send(firstRadio + 2, BM_GETCHECK) }),
        std::vector<LRESULT>({ 0, 0, 1 }));
    EXPECT_EQ(send(listBox, LB_GETCURSEL), 1);
    EXPECT_EQ(send(pickCombo, CB_GETCURSEL), 1);
    EXPECT_EQ(send(pickCombo, CB_GETDROPPEDSTATE), FALSE);
    EXPECT_EQ(text(pickCombo), "second");
    EXPECT_EQ(text(typeCombo), "xy");
    EXPECT_EQ(send(nameBox, EM_GETSEL), MAKELRESULT(0, kept.size())) << "a box reached by the keyboard is selected";
    EXPECT_TRUE(has({ checkBox, BN_CLICKED }));
    EXPECT_TRUE(has({ firstRadio + 2, BN_CLICKED }));
    EXPECT_TRUE(has({ listBox, LBN_SELCHANGE }));
    EXPECT_TRUE(has({ pickCombo, CBN_SELENDOK }));
    EXPECT_TRUE(has({ typeCombo, CBN_EDITCHANGE }));
    EXPECT_FALSE(has({ IDOK, BN_CLICKED })) << "no button was pressed yet";

    // Enter presses the default button, Escape Cancel; a mnemonic clicks a check box.
    commands().clear();
    keys({ VK_RETURN });
    keys({ VK_ESCAPE });
    keys({ VK_MENU, 'C' });
    EXPECT_EQ(clicks(), (std::vector<int> { IDOK, IDCANCEL, checkBox }));
    EXPECT_EQ(send(checkBox, BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(focusId(), checkBox);

    // The default moves with DM_SETDEFID, and Enter follows it.
    SendMessageA(m_dialog, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(GetWindowLongA(item(IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(item(IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    commands().clear();
    keys({ VK_RETURN });
    EXPECT_EQ(clicks(), (std::vector<int> { IDCANCEL }));
}

TEST_F(ControlsDialog, WorksFromTheMouseAsItWouldForAPerson)
{
    host::clickCentre(item(checkBox));
    host::pumpMessages(m_dialog);
    EXPECT_EQ(send(checkBox, BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(focusId(), checkBox);
    host::clickCentre(item(firstRadio + 1));
    host::pumpMessages(m_dialog);
    EXPECT_EQ(send(firstRadio + 1, BM_GETCHECK), BST_CHECKED);

    // A click on the group box passes through it to the dialog: nothing changes.
    RECT group {};
    GetWindowRect(item(groupBox), &group);
    host::click(group.right - 3, group.bottom - 3);
    host::pumpMessages(m_dialog);
    EXPECT_EQ(focusId(), firstRadio + 1);

    const int line = static_cast<int>(send(listBox, LB_GETITEMHEIGHT));
    host::clickClient(item(listBox), 5, 2 * line + 1);
    host::pumpMessages(m_dialog);
    EXPECT_EQ(send(listBox, LB_GETCURSEL), 2);
    EXPECT_EQ(focusId(), listBox);

    host::clickCentre(item(pickCombo));
    host::pumpMessages(m_dialog);
    ASSERT_EQ(send(pickCombo, CB_GETDROPPEDSTATE), TRUE);
    RECT dropped {};
    send(pickCombo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const int comboLine = static_cast<int>(send(pickCombo, CB_GETITEMHEIGHT));
    host::click(dropped.left + 5, dropped.top + 1 + comboLine / 2);
    host::pumpMessages(m_dialog);
    EXPECT_EQ(send(pickCombo, CB_GETDROPPEDSTATE), FALSE);
    EXPECT_EQ(text(pickCombo), "first");

    host::clickClient(item(nameBox), 3, 3);
    host::pumpMessages(m_dialog);
    EXPECT_EQ(focusId(), nameBox);
    typed("42");
    EXPECT_EQ(text(nameBox), "42");

    commands().clear();
    host::clickCentre(item(IDCANCEL));
    host::pumpMessages(m_dialog);
    host::clickCentre(item(IDOK));
    host::pumpMessages(m_dialog);
    EXPECT_EQ(clicks(), (std::vector<int> { IDCANCEL, IDOK }));
}

}
