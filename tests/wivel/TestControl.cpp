// The control module against the real layer: controls attached to the main
// dialog's items and controls that make their own windows, buttons, check
// boxes and radio groups, edit boxes, list boxes and combo boxes, with the
// messages they send and the failures they report.
#include <wivel/application.h>
#include <wivel/control.h>
#include <wivel/dialog.h>
#include <wivel/except.h>
#include <wivel/gdiobject.h>

#include <windows.h>
#include <winapi/host.h>

#include <ResourceImage.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using wivel::AssertionFailure;
using wivel::Button;
using wivel::CheckBox;
using wivel::ComboBox;
using wivel::Control;
using wivel::ControlException;
using wivel::EditBox;
using wivel::ListBox;
using wivel::RadioButton;
using wivel::RadioButtonGroup;
using wivel::Rectangle;
using wivel::UnknownAPIException;
using wivel::WindowBaseException;

// Counts the messages that reach a window, by putting a procedure in front
// of its own (the platform's subclassing).
class MessageCounter {
public:
    explicit MessageCounter(HWND window)
        : m_window(window)
    {
        counters()[window] = this;
        m_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&counting)));
    }
    ~MessageCounter()
    {
        if (IsWindow(m_window))
            SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_original));
        counters().erase(m_window);
    }
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;

    int count(UINT message) const
    {
        const auto found = m_counts.find(message);
        return found == m_counts.end() ? 0 : found->second;
    }
    // The wParam and lParam of the last message of its number.
    std::pair<WPARAM, LPARAM> last(UINT message) const { return m_last.at(message); }

private:
    static std::map<HWND, MessageCounter*>& counters()
    {
        static std::map<HWND, MessageCounter*> all;
        return all;
    }
    static LRESULT CALLBACK counting(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        MessageCounter* counter = counters().at(window);
        ++counter->m_counts[message];
        counter->m_last[message] = { wParam, lParam };
        return CallWindowProcA(counter->m_original, window, message, wParam, lParam);
    }

    HWND m_window;
    WNDPROC m_original = nullptr;
    std::map<UINT, int> m_counts;
    std::map<UINT, std::pair<WPARAM, LPARAM>> m_last;
};

BOOL CALLBACK destroyOne(HWND window, LPARAM)
{
    DestroyWindow(window);
    return TRUE;
}

// The program's main dialog, template 1, with its class registered as the
// program registers it.
class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
        WNDCLASSEXA existing {};
        existing.cbSize = sizeof existing;
        if (!GetClassInfoExA(m_application.instance(), "Vexlo", &existing)) {
            WNDCLASSEXA record {};
            record.cbSize = sizeof record;
            record.lpfnWndProc = DefDlgProcA;
            record.cbWndExtra = DLGWINDOWEXTRA;
            record.hInstance = m_application.instance();
            record.lpszClassName = "Vexlo";
            ASSERT_NE(RegisterClassExA(&record), 0);
        }
        m_dialog = std::make_unique<wivel::Dialog>(1, m_application);
        m_dialog->show();
        ASSERT_NE(m_dialog->handle(), nullptr);
    }
    void TearDown() override
    {
        winapi::host::clearFailures();
        EnumThreadWindows(GetCurrentThreadId(), destroyOne, 0);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND item(int id) const { return GetDlgItem(m_dialog->handle(), id); }

    // A control of its own in the dialog's free lower right corner.
    template<typename Kind, typename... Arguments>
    std::unique_ptr<Kind> own(int id, Arguments&&... arguments)
    {
        auto control = std::make_unique<Kind>(m_dialog.get(), id, std::forward<Arguments>(arguments)...);
        control->show();
        EXPECT_NE(control->handle(), nullptr);
        return control;
    }

    wivel::Application m_application;
    std::unique_ptr<wivel::Dialog> m_dialog;
};

template<typename Exception>
std::string failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& failure) {
        return failure.what();
    }
    return "nothing thrown";
}

// A failure armed by the platform call's name (none: one that the
// arguments cause), the operation that meets it, and the message of the
// exception it throws: an UnknownAPIException or a ControlException.
struct ArmedFailure {
    const char* operation;
    DWORD code;
    std::function<void()> action;
    std::string message;
};

void expectFailures(const std::vector<ArmedFailure>& failures)
{
    for (const ArmedFailure& f : failures) {
        if (f.operation[0])
            winapi::host::failNext(f.operation, 1, f.code);
        const std::string message = f.message.find("Unknown") == 0 ? failureOf<UnknownAPIException>(f.action)
                                                                  : failureOf<ControlException>(f.action);
        EXPECT_EQ(message, f.message) << f.operation;
        winapi::host::clearFailures();
    }
}

TEST_F(Controls, AttachingFindsTheItemByItsIdentifier)
{
    Control label(m_dialog.get(), 120);
    EXPECT_EQ(label.handle(), item(120));
    EXPECT_EQ(label.id(), 120);
    EXPECT_EQ(label.parent(), m_dialog.get());
    EXPECT_EQ(&label.application(), &m_application);
    EXPECT_TRUE(label.className().empty()) << "an attached control leaves what create reads empty";

    // Identifier 0 is an identifier like any other; -1 and a missing item are programming errors.
    auto zero = own<Control>(0, "zero", Rectangle(300, 200, 340, 210));
    const Control attached(m_dialog.get(), 0);
    EXPECT_EQ(attached.handle(), zero->handle());
    struct Case {
        std::function<void()> attach;
        const char* what;
    };
    const std::vector<Case> cases {
        { [&] { Control(m_dialog.get(), -1); }, "Control -1" },
        { [&] { EditBox(m_dialog.get(), -1); }, "EditBox -1" },
        { [&] { ListBox(m_dialog.get(), -1); }, "ListBox -1" },
        { [&] { Button(m_dialog.get(), 999); }, "Button 999" },
        { [&] { CheckBox(m_dialog.get(), 998); }, "CheckBox 998" },
        { [&] { RadioButton(m_dialog.get(), -5); }, "RadioButton -5" },
        { [&] { ComboBox(m_dialog.get(), -1); }, "ComboBox -1" },
    };
    for (const Case& c : cases)
        EXPECT_THROW(c.attach(), AssertionFailure) << c.what;
}

TEST_F(Controls, AFontIsGivenAndTakenBack)
{
    Control label(m_dialog.get(), 120);
    EXPECT_EQ(label.font(), nullptr);
    LOGFONTA description {};
    description.lfHeight = -16;
    std::strcpy(description.lfFaceName, "MS Sans Serif");
    wivel::Font font(description);
    EXPECT_EQ(label.font(&font), &font);
    EXPECT_EQ(label.font(), &font);
    EXPECT_EQ(SendMessageA(label.handle(), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font.handle()));
    EXPECT_EQ(label.font(nullptr), nullptr);
    EXPECT_EQ(label.font(), nullptr);
    EXPECT_EQ(SendMessageA(label.handle(), WM_GETFONT, 0, 0), 0) << "back to the system font";

    Control unmade(m_dialog.get(), 7, "later", Rectangle(0, 0, 10, 10));
    EXPECT_THROW(unmade.font(&font), AssertionFailure);
}

TEST_F(Controls, ControlsOfTheirOwnMakeTheirWindowWhenFirstShown)
{
    struct Case {
        std::function<std::unique_ptr<Control>()> make;
        const char* className;
        DWORD kind;     // the bits of the style that say what it is
        DWORD kindMask;
    };
    Rectangle place(300, 180, 360, 195);
    const std::vector<Case> cases {
        { [&] { return std::make_unique<Control>(m_dialog.get(), 301, "label", place); }, "STATIC", SS_LEFT, SS_TYPEMASK },
        { [&] { return std::make_unique<Button>(m_dialog.get(), 302, "push", place); }, "BUTTON", BS_PUSHBUTTON, BS_TYPEMASK },
        { [&] { return std::make_unique<CheckBox>(m_dialog.get(), 303, "check", place, true); }, "BUTTON", BS_AUTO3STATE,
            BS_TYPEMASK },
        { [&] { return std::make_unique<RadioButton>(m_dialog.get(), 304, "radio", place, true); }, "BUTTON",
            BS_AUTORADIOBUTTON | WS_GROUP, BS_TYPEMASK | WS_GROUP },
        { [&] { return std::make_unique<EditBox>(m_dialog.get(), 305, place); }, "EDIT", ES_AUTOHSCROLL, ES_AUTOHSCROLL },
        { [&] { return std::make_unique<ListBox>(m_dialog.get(), 306, place, true); }, "LISTBOX", LBS_SORT | LBS_NOTIFY,
            LBS_SORT | LBS_NOTIFY },
    };
    for (const Case& c : cases) {
        std::unique_ptr<Control> control = c.make();
        EXPECT_EQ(control->handle(), nullptr);
        EXPECT_EQ(control->className(), c.className);
        EXPECT_THROW(control->sendMessage(WM_NULL, 0, 0), WindowBaseException);
        control->text("given before");
        control->show();
        ASSERT_NE(control->handle(), nullptr) << c.className;
        char name[32] = "";
        GetClassNameA(control->handle(), name, sizeof name);
        EXPECT_STREQ(name, c.className);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(control->handle(), GWL_STYLE));
        EXPECT_EQ(style & c.kindMask, c.kind) << c.className;
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(GetParent(control->handle()), m_dialog->handle());
        EXPECT_EQ(GetDlgCtrlID(control->handle()), control->id());
        EXPECT_EQ(control->text(), "given before") << "the remembered text is the window's name";
        EXPECT_EQ(control->sizeAndPosition(), place);
        EXPECT_THROW(control->create(), AssertionFailure) << "a window is made once";
        // The window goes with its dialog or on its own; the object hears of it.
        DestroyWindow(control->handle());
        EXPECT_EQ(control->handle(), nullptr) << c.className;
    }

    // A failed creation is not reported there; the next message is.
    winapi::host::failNext("CreateWindowExA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EditBox failed(m_dialog.get(), 307, place);
    failed.show();
    EXPECT_EQ(failed.handle(), nullptr);
    EXPECT_EQ(failureOf<WindowBaseException>([&] { failed.text(); }), "Window message failed - window not created");
}

TEST_F(Controls, ADefaultButtonIsMadeThroughItsDialog)
{
    Button reset(m_dialog.get(), 130);
    Button solve(m_dialog.get(), 1);
    EXPECT_EQ(LOWORD(SendMessageA(m_dialog->handle(), DM_GETDEFID, 0, 0)), 1);
    reset.makeDefault();
    EXPECT_EQ(SendMessageA(m_dialog->handle(), DM_GETDEFID, 0, 0), MAKELRESULT(130, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongA(reset.handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(solve.handle(), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(Controls, CheckStatesAreReadAndWritten)
{
    auto twoStates = own<CheckBox>(310, "two", Rectangle(300, 150, 360, 162));
    auto threeStates = own<CheckBox>(311, "three", Rectangle(300, 165, 360, 177), true);
    struct Case {
        CheckBox* box;
        std::int32_t written;
        std::int32_t read;
    };
    const std::vector<Case> cases {
        { threeStates.get(), 1, 1 }, { threeStates.get(), 2, 2 }, { threeStates.get(), 0, 0 },
        { twoStates.get(), 1, 1 },   { twoStates.get(), 2, 1 }, { twoStates.get(), 0, 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.box->checkState(c.written), c.written);
        EXPECT_EQ(c.box->checkState(), c.read) << c.written;
    }
    EXPECT_THROW(threeStates->checkState(3), AssertionFailure);
    EXPECT_THROW(threeStates->checkState(-1), AssertionFailure);
    EXPECT_EQ(threeStates->checkState(), 0) << "nothing was sent";
}

TEST_F(Controls, RadioGroupsReadAndWriteTheirCheckedButton)
{
    std::vector<std::unique_ptr<RadioButton>> buttons;
    for (int i = 0; i < 4; ++i)
        buttons.push_back(own<RadioButton>(320 + i, "r", Rectangle(300, 100 + 12 * i, 360, 110 + 12 * i), i == 0));
    RadioButtonGroup group(*m_dialog, 320, 323);
    EXPECT_EQ(group.firstId(), 320);
    EXPECT_EQ(group.endId(), 324);
    EXPECT_EQ(group.selected(), -1);
    {
        std::vector<std::unique_ptr<MessageCounter>> counters;
        for (const auto& b : buttons)
            counters.push_back(std::make_unique<MessageCounter>(b->handle()));
        EXPECT_EQ(group.selected(0), 0);
        int checks = 0;
        for (const auto& counter : counters)
            checks += counter->count(BM_SETCHECK);
        EXPECT_EQ(checks, 1) << "nothing to uncheck";
        EXPECT_EQ(counters[0]->last(BM_SETCHECK).first, static_cast<WPARAM>(BST_CHECKED));
    }
    EXPECT_EQ(buttons[0]->checkState(), 1);
    EXPECT_EQ(group.selected(2), 2);
    EXPECT_EQ(buttons[0]->checkState(), 0);
    EXPECT_EQ(group.selected(2), 2) << "the selected button stays checked";
    EXPECT_EQ(buttons[2]->checkState(), 1);

    // With several checked, the first reads; writing unchecks only that one.
    buttons[2]->checkState(0);
    buttons[1]->checkState(1);
    buttons[3]->checkState(1);
    EXPECT_EQ(group.selected(), 1);
    group.selected(0);
    EXPECT_EQ(std::vector<std::int32_t>({ buttons[0]->checkState(), buttons[1]->checkState(),
                  buttons[2]->checkState(), buttons[3]->checkState() }),
        std::vector<std::int32_t>({ 1, 0, 0, 1 }));
    buttons[0]->checkState(0);
    buttons[3]->checkState(2);
    EXPECT_EQ(group.selected(), 3) << "an indeterminate button counts as checked";
    EXPECT_THROW(group.selected(4), AssertionFailure);
    EXPECT_THROW(group.selected(-1), AssertionFailure);
    EXPECT_THROW(group.button(4), AssertionFailure);

    const std::unique_ptr<RadioButton> first = group.button(1);
    const std::unique_ptr<RadioButton> second = group.button(1);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->handle(), buttons[1]->handle());
    EXPECT_TRUE(first->equals(second.get()));

    const RadioButtonGroup same(*m_dialog, 320, 323);
    const RadioButtonGroup shorter(*m_dialog, 320, 322);
    EXPECT_TRUE(group.equals(&same));
    EXPECT_EQ(group.toHash(), same.toHash());
    EXPECT_FALSE(group.equals(&shorter));
    EXPECT_FALSE(group.equals(first.get()));
    EXPECT_FALSE(group.equals(nullptr));
}

TEST_F(Controls, EditBoxSelectionAndTheTextItShows)
{
    EditBox target(m_dialog.get(), 101);
    MessageCounter counter(target.handle());
    EXPECT_FALSE(target.hasSelection());
    EXPECT_EQ(target.selectedText(), "");
    EXPECT_EQ(counter.count(WM_GETTEXT), 0) << "an empty selection fetches no text";

    target.text("952");
    target.selectAll();
    std::int32_t start = -1;
    std::int32_t end = -1;
    target.selection(&start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 3));
    EXPECT_TRUE(target.hasSelection());
    EXPECT_EQ(target.selectedText(), "952");
    target.selection(1, 2);
    EXPECT_EQ(target.selectedText(), "5");
    target.replaceSelection("0", true);
    EXPECT_EQ(target.text(), "902");
    EXPECT_TRUE(target.modified());
    EXPECT_EQ(target.modified(false), false);
    EXPECT_FALSE(target.modified());

    // A text the narrow box cannot show is refused; the box keeps its own.
    EditBox number(m_dialog.get(), 110);
    number.text("7");
    EXPECT_EQ(failureOf<ControlException>([&] { number.text("12345678901234567890"); }),
        "EditBox.text failed - text too long");
    EXPECT_EQ(number.text(), "7");

    EXPECT_EQ(number.lineCount(), 1);
    EXPECT_EQ(number.textLimit(), 30000);
    EXPECT_EQ(number.textLimit(4), 4);
    EXPECT_EQ(number.textLimit(), 4);
    EXPECT_EQ(number.passwordChar(), 0);
    EXPECT_FALSE(number.readOnly());
    EXPECT_TRUE(number.readOnly(true));
    EXPECT_TRUE(number.readOnly());
    number.readOnly(false);
}

TEST_F(Controls, EditBoxUndoScrollingAndTheClipboard)
{
    EditBox target(m_dialog.get(), 101);
    EXPECT_FALSE(target.softLineBreaks()) << "whatever the window's state";
    target.replaceSelection("12", true);
    EXPECT_TRUE(target.canUndo());
    EXPECT_TRUE(target.canUndo(true));
    EXPECT_TRUE(target.canUndo()) << "writing true does nothing";
    EXPECT_TRUE(target.undo());
    EXPECT_EQ(target.text(), "");
    target.replaceSelection("34", true);
    EXPECT_FALSE(target.canUndo(false));
    EXPECT_FALSE(target.canUndo());
    EXPECT_EQ(target.text(), "34");

    {
        MessageCounter counter(target.handle());
        EXPECT_EQ(target.scrollPosition(), 0);
        EXPECT_EQ(target.scrollPosition(0), 0);
        EXPECT_EQ(counter.count(EM_LINESCROLL), 1);
        EXPECT_EQ(counter.last(EM_LINESCROLL), std::make_pair(WPARAM { 0 }, LPARAM { 0 })) << "a zero amount";
        EXPECT_TRUE(target.softLineBreaks(true));
        EXPECT_TRUE(target.softLineBreaks());
        EXPECT_EQ(counter.count(EM_FMTLINES), 1);
    }

    auto memo = own<EditBox>(330, Rectangle(300, 100, 400, 140), ES_MULTILINE | ES_AUTOVSCROLL);
    memo->text("one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\nseven");
    EXPECT_EQ(memo->lineCount(), 7);
    EXPECT_EQ(memo->scrollPosition(3), 3);
    EXPECT_EQ(memo->scrollPosition(), 3) << "a multi-line box scrolls by lines";
    memo->selection(0, 3);
    memo->scrollToCaret();
    EXPECT_EQ(memo->scrollPosition(), 0);

    // Cut, copy, paste and clear go through the clipboard.
    target.selectAll();
    target.cut();
    EXPECT_EQ(target.text(), "");
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("34", 3));
    target.paste();
    target.paste();
    EXPECT_EQ(target.text(), "3434");
    target.selection(0, 2);
    target.copy();
    target.clear();
    EXPECT_EQ(target.text(), "34");
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("34", 3));

    auto secret = own<EditBox>(331, Rectangle(300, 145, 400, 160), ES_PASSWORD | ES_AUTOHSCROLL);
    EXPECT_EQ(secret->passwordChar(), '*');
    EXPECT_EQ(secret->passwordChar('#'), '#');
    EXPECT_EQ(secret->passwordChar(), '#');

    // Without a window the text is only remembered, and named at creation.
    EditBox later(m_dialog.get(), 332, Rectangle(300, 165, 400, 180));
    EXPECT_EQ(later.text("kept"), "kept");
    later.show();
    EXPECT_EQ(later.text(), "kept");
    EXPECT_THROW(EditBox(m_dialog.get(), 333, Rectangle(0, 0, 1, 1)).scrollPosition(), WindowBaseException);
}

TEST_F(Controls, ListBoxLinesAndTheirFailures)
{
    ListBox list(m_dialog.get(), 102);
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(list.add("line " + std::to_string(i)), i);
    EXPECT_EQ(list.length(), 3);
    EXPECT_EQ(list.add(1, ""), 1);
    EXPECT_EQ(list.add(-1, "last"), 4);
    EXPECT_EQ(list.item(1), "") << "an empty line";
    EXPECT_EQ(list.item(4), "last");
    EXPECT_EQ(list.find("LINE", -1, true), 0);
    EXPECT_EQ(list.find("line 2", 2, false), 3);
    EXPECT_EQ(list.find("absent", -1, true), -1) << "no match raises nothing";
    EXPECT_EQ(list.selectMatching("line 1", -1), 2);
    EXPECT_EQ(list.selected(), 2);
    EXPECT_EQ(list.selectedItem(), "line 1");
    EXPECT_EQ(list.selected(-1), -1) << "no selection, though the platform answers -1";
    EXPECT_EQ(list.selected(), -1);
    EXPECT_THROW(list.selectedItem(), AssertionFailure);
    EXPECT_EQ(list.selected(4), 4);
    list.remove(0);
    EXPECT_EQ(list.length(), 4);
    EXPECT_THROW(list.remove(4), AssertionFailure);
    EXPECT_THROW(list.item(-1), AssertionFailure);
    EXPECT_THROW(list.selected(4), AssertionFailure);
    EXPECT_EQ(list.scrollPosition(0), 0);
    EXPECT_EQ(list.scrollPosition(), 0);

    expectFailures({
        { "LB_ADDSTRING", ERROR_NOT_ENOUGH_MEMORY, [&] { list.add("x"); },
            "ListBox.add failed: not enough space for new item" },
        { "LB_INSERTSTRING", ERROR_OUTOFMEMORY, [&] { list.add(0, "x"); },
            "ListBox.add failed: not enough space for new item" },
        { "LB_ADDSTRING", ERROR_INVALID_PARAMETER, [&] { list.add("x"); },
            "Unknown exception in Windows API call LB_ADDSTRING in ListBox.add" },
        { "LB_INSERTSTRING", ERROR_INVALID_PARAMETER, [&] { list.add(0, "x"); },
            "Unknown exception in Windows API call LB_INSERTSTRING in ListBox.add" },
        { "LB_GETCOUNT", ERROR_INVALID_PARAMETER, [&] { list.length(); },
            "Unknown exception in Windows API call LB_GETCOUNT in ListBox.length" },
        { "LB_SETCURSEL", ERROR_INVALID_PARAMETER, [&] { list.selected(1); },
            "Unknown exception in Windows API call LB_SETCURSEL in ListBox.selected" },
        { "", 0, [&] { list.scrollPosition(99); },
            "Unknown exception in Windows API call LB_SETTOPINDEX in ListBox.scrollPosition" },
    });
    EXPECT_EQ(list.length(), 4) << "nothing was added";

    list.removeAll();
    EXPECT_EQ(list.length(), 0);
    EXPECT_EQ(list.selected(), -1);
}

TEST_F(Controls, ListBoxLinesComeFromAWorkerThread)
{
    ListBox list(m_dialog.get(), 102);
    const DWORD thread = GetCurrentThreadId();
    std::thread worker([&list, thread] {
        list.removeAll();
        for (int i = 0; i < 500; ++i)
            list.add(std::to_string(i));
        PostThreadMessageA(thread, WM_APP, 0, 0);
    });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) && message.message != WM_APP)
        DispatchMessageA(&message);
    worker.join();
    EXPECT_EQ(list.length(), 500);
    EXPECT_EQ(list.item(499), "499");
}

}

namespace {

TEST_F(Controls, ComboBoxesWithTheirListAndField)
{
    auto combo = own<ComboBox>(340, Rectangle(300, 100, 420, 200), CBS_DROPDOWN);
    EXPECT_EQ(combo->textLimit(), 0) << "until a limit is written";
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(combo->add("item " + std::to_string(i)), i);
    EXPECT_EQ(combo->add(0, ""), 0);
    EXPECT_EQ(combo->length(), 4);
    EXPECT_EQ(combo->item(0), "");
    EXPECT_EQ(combo->find("ITEM 2", -1, false), 3);
    EXPECT_EQ(combo->find("none", -1, true), -1);
    EXPECT_EQ(combo->selectMatching("item", 1), 2);
    EXPECT_EQ(combo->selectedItem(), "item 1");
    EXPECT_EQ(combo->text(), "item 1") << "the field shows the selection";
    EXPECT_EQ(combo->selected(-1), -1);
    EXPECT_EQ(combo->selected(), -1);
    combo->remove(0);
    EXPECT_EQ(combo->length(), 3);
    EXPECT_EQ(combo->scrollPosition(1), 1);

    EXPECT_FALSE(combo->dropped());
    EXPECT_TRUE(combo->dropped(true));
    EXPECT_TRUE(combo->dropped());
    combo->dropped(false);
    EXPECT_FALSE(combo->dropped());
    EXPECT_EQ(combo->droppedWidth(200), 200);
    EXPECT_EQ(combo->droppedWidth(), 200);
    EXPECT_TRUE(combo->extendedUI(true));
    EXPECT_TRUE(combo->extendedUI());

    EXPECT_EQ(combo->textLimit(4), 4);
    EXPECT_EQ(combo->textLimit(), 4);
    combo->text("abcd");
    combo->sendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    combo->copy();
    EXPECT_EQ(winapi::host::clipboardBytes(CF_TEXT), std::string("abcd", 5));
    combo->clear();
    EXPECT_EQ(combo->text(), "");
    combo->paste();
    EXPECT_EQ(combo->text(), "abcd");
    combo->sendMessage(CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
    combo->cut();
    EXPECT_EQ(combo->text(), "ad");

    expectFailures({
        { "CB_ADDSTRING", ERROR_NOT_ENOUGH_MEMORY, [&] { combo->add("x"); },
            "ComboBox.add failed: not enough space for new item" },
        { "CB_INSERTSTRING", ERROR_INVALID_PARAMETER, [&] { combo->add(0, "x"); },
            "Unknown exception in Windows API call CB_INSERTSTRING in ComboBox.add" },
        { "CB_GETCOUNT", ERROR_INVALID_PARAMETER, [&] { combo->length(); },
            "Unknown exception in Windows API call CB_GETCOUNT in ComboBox.length" },
        { "", 0, [&] { combo->scrollPosition(99); },
            "Unknown exception in Windows API call CB_SETTOPINDEX in ComboBox.scrollPosition" },
    });
    // A combo box that does not select is a programming error, not a failure of the platform.
    winapi::host::failNext("CB_SETCURSEL", 1, ERROR_INVALID_PARAMETER);
    EXPECT_THROW(combo->selected(1), AssertionFailure);
    EXPECT_THROW(combo->selected(3), AssertionFailure);
    combo->removeAll();
    EXPECT_EQ(combo->length(), 0);

    ComboBox attached(m_dialog.get(), 340);
    EXPECT_EQ(attached.handle(), combo->handle());
    EXPECT_EQ(attached.textLimit(), 0) << "a new object knows no limit";
}

}
