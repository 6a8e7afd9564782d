// The standard controls: attaching to dialog items and making windows of
// their own, and the message wrappers of buttons, radio groups, edit boxes,
// list boxes and combo boxes. List and combo boxes share one implementation
// of their item operations, each with its own messages and names.
#include "control.h"

#include "application.h"
#include "except.h"
#include "gdiobject.h"

#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace wivel {
namespace {

std::int32_t attachableId(std::int32_t id)
{
    require(id >= 0, "a control's identifier is zero or more");
    return id;
}

HWND dialogItem(WindowBase* parent, std::int32_t id)
{
    require(parent != nullptr, "a control is attached to an item of a parent");
    return GetDlgItem(parent->handle(), attachableId(id));
}

WPARAM wide(std::int32_t value)
{
    return static_cast<WPARAM>(static_cast<std::intptr_t>(value));
}

LPARAM textParameter(const std::string& text)
{
    return reinterpret_cast<LPARAM>(text.c_str());
}

// ---- Windows a control makes itself ---------------------------------------
// Such a window runs its class's own procedure, never windowProcedure, so
// its destruction would not reach the window object. The control's object
// is registered like every framework window, and a thin procedure placed in
// front of the class's notes WM_DESTROY and WM_NCDESTROY, after which the
// registration ends as it does for any framework window.

struct MadeControls {
    std::mutex lock;
    std::unordered_map<HWND, WNDPROC> classProcedures;
};

MadeControls& madeControls()
{
    static MadeControls instance;
    return instance;
}

WNDPROC classProcedureOf(HWND window, bool forget)
{
    MadeControls& made = madeControls();
    std::scoped_lock guard(made.lock);
    const auto found = made.classProcedures.find(window);
    if (found == made.classProcedures.end())
        return DefWindowProcA;
    const WNDPROC procedure = found->second;
    if (forget)
        made.classProcedures.erase(found);
    return procedure;
}

LRESULT CALLBACK madeControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool last = message == WM_NCDESTROY;
    const WNDPROC procedure = classProcedureOf(window, last);
    const LRESULT result = CallWindowProcA(procedure, window, message, wParam, lParam);
    if (message == WM_DESTROY || message == WM_NCDESTROY) {
        if (WindowBase* object = registeredWindow(window))
            object->noteDestroyed(message);
    }
    return result;
}

// ---- List and combo boxes ---------------------------------------------------

// What list and combo boxes differ in: their messages and the names their
// failures carry.
struct ListMessages {
    UINT getTextLength;
    UINT getText;
    UINT getCount;
    UINT getCurrent;
    UINT setTopIndex;
    const char* addName;
    const char* insertName;
    const char* countName;
    const char* setCurrentName;
    const char* setTopIndexName;
    const char* addOperation;
    const char* lengthOperation;
    const char* selectedOperation;
    const char* scrollOperation;
    const char* noSpace;
};

constexpr ListMessages listMessages {
    .getTextLength = LB_GETTEXTLEN,
    .getText = LB_GETTEXT,
    .getCount = LB_GETCOUNT,
    .getCurrent = LB_GETCURSEL,
    .setTopIndex = LB_SETTOPINDEX,
    .addName = "LB_ADDSTRING",
    .insertName = "LB_INSERTSTRING",
    .countName = "LB_GETCOUNT",
    .setCurrentName = "LB_SETCURSEL",
    .setTopIndexName = "LB_SETTOPINDEX",
    .addOperation = "ListBox.add",
    .lengthOperation = "ListBox.length",
    .selectedOperation = "ListBox.selected",
    .scrollOperation = "ListBox.scrollPosition",
    .noSpace = "ListBox.add failed: not enough space for new item",
};

constexpr ListMessages comboMessages {
    .getTextLength = CB_GETLBTEXTLEN,
    .getText = CB_GETLBTEXT,
    .getCount = CB_GETCOUNT,
    .getCurrent = CB_GETCURSEL,
    .setTopIndex = CB_SETTOPINDEX,
    .addName = "CB_ADDSTRING",
    .insertName = "CB_INSERTSTRING",
    .countName = "CB_GETCOUNT",
    .setCurrentName = "CB_SETCURSEL",
    .setTopIndexName = "CB_SETTOPINDEX",
    .addOperation = "ComboBox.add",
    .lengthOperation = "ComboBox.length",
    .selectedOperation = "ComboBox.selected",
    .scrollOperation = "ComboBox.scrollPosition",
    .noSpace = "ComboBox.add failed: not enough space for new item",
};

std::int32_t added(LRESULT result, const char* call, const ListMessages& m)
{
    checkUnknownAPI(result != LB_ERR, call, m.addOperation);
    if (result == LB_ERRSPACE)
        throw ControlException(m.noSpace);
    return static_cast<std::int32_t>(result);
}

std::int32_t count(ListBox& list, const ListMessages& m)
{
    const LRESULT result = list.sendMessage(m.getCount, 0, 0);
    checkUnknownAPI(result != LB_ERR, m.countName, m.lengthOperation);
    return static_cast<std::int32_t>(result);
}

std::string itemText(ListBox& list, const ListMessages& m, std::int32_t index)
{
    require(index >= 0 && index < list.length(), "an item of the list");
    const LRESULT length = list.sendMessage(m.getTextLength, wide(index), 0);
    std::vector<char> buffer(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    list.sendMessage(m.getText, wide(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::int32_t currentItem(ListBox& list, const ListMessages& m)
{
    const auto current = static_cast<std::int32_t>(list.sendMessage(m.getCurrent, 0, 0));
    require(current < list.length(), "the selection is an item of the list");
    return current;
}

std::int32_t topIndex(ListBox& list, const ListMessages& m, std::int32_t index)
{
    const LRESULT result = list.sendMessage(m.setTopIndex, wide(index), 0);
    checkUnknownAPI(result != LB_ERR, m.setTopIndexName, m.scrollOperation);
    return index;
}

}

ControlException::ControlException(const std::string& message)
    : WindowBaseException(message)
{
}

// ---- Control ------------------------------------------------------------------

Control::Control(WindowBase* parent, std::int32_t id)
    : WindowBase(parent, dialogItem(parent, id))
    , m_id(id)
{
    require(handle() != nullptr, "the parent's template has an item of the identifier");
}

Control::Control(WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds)
    : Control(parent, id, "STATIC", text, bounds, WS_VISIBLE | SS_LEFT)
{
}

Control::Control(WindowBase* parent, std::int32_t id, const char* className, const std::string& text,
    const Rectangle& bounds, DWORD style, DWORD exStyle)
    : WindowBase(parent)
    , m_id(attachableId(id))
    , m_bounds(bounds)
    , m_className(className)
{
    WindowBase::text(text);
    WindowBase::style(WS_CHILD | style);
    WindowBase::exStyle(exStyle);
}

void Control::create()
{
    require(handle() == nullptr, "a control makes its window once");
    WindowBase* owner = parent();
    const HWND window = CreateWindowExA(exStyle(), m_className.c_str(), windowText().c_str(), style(), m_bounds.left,
        m_bounds.top, m_bounds.width(), m_bounds.height(), owner != nullptr ? owner->handle() : nullptr,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_id)), application().instance(), nullptr);
    if (window == nullptr)
        return;
    // Nothing runs on this thread between these calls, so the lookup binds
    // this object to the new handle.
    pendingWindow(this);
    lookupWindow(window);
    {
        MadeControls& made = madeControls();
        std::scoped_lock guard(made.lock);
        made.classProcedures[window] = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    }
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&madeControlProcedure));
}

void Control::installListeners() { }

Font* Control::font() { return m_font; }

Font* Control::font(Font* font)
{
    require(handle() != nullptr, "a font is given to a control that has a window");
    m_font = font;
    sendMessage(WM_SETFONT, font != nullptr ? reinterpret_cast<WPARAM>(font->handle()) : 0, 1);
    return font;
}

// ---- Buttons ------------------------------------------------------------------

Button::Button(WindowBase* parent, std::int32_t id)
    : Control(parent, attachableId(id))
{
}

Button::Button(WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds, bool isDefault)
    : Control(parent, id, "BUTTON", text, bounds, WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))
{
}

void Button::makeDefault()
{
    require(parent() != nullptr, "a default button has a parent dialog");
    parent()->sendMessage(DM_SETDEFID, wide(id()), 0);
}

CheckBox::CheckBox(WindowBase* parent, std::int32_t id)
    : Control(parent, attachableId(id))
{
}

CheckBox::CheckBox(
    WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds, bool threeStates)
    : CheckBox(parent, id, WS_TABSTOP | (threeStates ? BS_AUTO3STATE : BS_AUTOCHECKBOX), text, bounds)
{
}

CheckBox::CheckBox(WindowBase* parent, std::int32_t id, DWORD style, const std::string& text, const Rectangle& bounds)
    : Control(parent, id, "BUTTON", text, bounds, WS_VISIBLE | style)
{
}

std::int32_t CheckBox::checkState() { return static_cast<std::int32_t>(sendMessage(BM_GETCHECK, 0, 0)); }

std::int32_t CheckBox::checkState(std::int32_t state)
{
    require(state >= BST_UNCHECKED && state <= BST_INDETERMINATE, "a check state is 0, 1 or 2");
    sendMessage(BM_SETCHECK, wide(state), 0);
    return state;
}

RadioButton::RadioButton(WindowBase* parent, std::int32_t id)
    : CheckBox(parent, attachableId(id))
{
}

RadioButton::RadioButton(
    WindowBase* parent, std::int32_t id, const std::string& text, const Rectangle& bounds, bool firstOfGroup)
    : CheckBox(parent, id, BS_AUTORADIOBUTTON | (firstOfGroup ? WS_GROUP | WS_TABSTOP : 0), text, bounds)
{
}

// ---- RadioButtonGroup -----------------------------------------------------------

RadioButtonGroup::RadioButtonGroup(WindowBase& parentWindow, std::int32_t firstId, std::int32_t lastId)
    : m_parentWindow(parentWindow)
    , m_firstId(firstId)
    , m_endId(lastId + 1)
{
    require(firstId >= 0 && firstId <= lastId, "a group holds buttons from the first identifier to the last");
}

std::size_t RadioButtonGroup::toHash() const
{
    return std::hash<HWND> {}(m_parentWindow.handle()) ^ (std::hash<std::int32_t> {}(m_firstId) << 1)
        ^ (std::hash<std::int32_t> {}(m_endId) << 2);
}

bool RadioButtonGroup::equals(const Object* other) const
{
    const auto* group = dynamic_cast<const RadioButtonGroup*>(other);
    return group != nullptr && m_parentWindow.equals(&group->m_parentWindow) && m_firstId == group->m_firstId
        && m_endId == group->m_endId;
}

LRESULT RadioButtonGroup::sendToButton(std::int32_t id, UINT message, WPARAM wParam)
{
    return SendDlgItemMessageA(m_parentWindow.handle(), id, message, wParam, 0);
}

std::int32_t RadioButtonGroup::selected()
{
    for (std::int32_t id = m_firstId; id < m_endId; ++id) {
        if (sendToButton(id, BM_GETCHECK, 0) != BST_UNCHECKED)
            return id - m_firstId;
    }
    return -1;
}

std::int32_t RadioButtonGroup::selected(std::int32_t index)
{
    require(index >= 0 && index < m_endId - m_firstId, "a button of the group");
    const std::int32_t current = selected();
    if (current != -1)
        sendToButton(m_firstId + current, BM_SETCHECK, BST_UNCHECKED);
    sendToButton(m_firstId + index, BM_SETCHECK, BST_CHECKED);
    return index;
}

std::unique_ptr<RadioButton> RadioButtonGroup::button(std::int32_t index)
{
    require(index >= 0 && index < m_endId - m_firstId, "a button of the group");
    return std::make_unique<RadioButton>(&m_parentWindow, m_firstId + index);
}

// ---- EditBox --------------------------------------------------------------------

EditBox::EditBox(WindowBase* parent, std::int32_t id)
    : Control(parent, attachableId(id))
{
}

EditBox::EditBox(WindowBase* parent, std::int32_t id, const Rectangle& bounds, DWORD editStyle)
    : Control(parent, id, "EDIT", "", bounds, WS_VISIBLE | WS_BORDER | WS_TABSTOP | editStyle)
{
}

std::string EditBox::text() { return WindowBase::text(); }

const std::string& EditBox::text(const std::string& text)
{
    // The base keeps the remembered text for reading only; an edit box
    // remembers it itself before it asks the window.
    const_cast<std::string&>(windowText()) = text;
    if (handle() == nullptr)
        return windowText();
    const std::string copy = text;
    if (sendMessage(WM_SETTEXT, 0, textParameter(copy)) == 0)
        throw ControlException("EditBox.text failed - text too long");
    return windowText();
}

bool EditBox::canUndo() { return sendMessage(EM_CANUNDO, 0, 0) != 0; }

bool EditBox::canUndo(bool possible)
{
    if (!possible)
        sendMessage(EM_EMPTYUNDOBUFFER, 0, 0);
    return possible;
}

bool EditBox::softLineBreaks() { return m_softLineBreaks; }

bool EditBox::softLineBreaks(bool shown)
{
    sendMessage(EM_FMTLINES, shown ? TRUE : FALSE, 0);
    m_softLineBreaks = shown;
    return shown;
}

std::int32_t EditBox::scrollPosition() { return static_cast<std::int32_t>(sendMessage(EM_GETFIRSTVISIBLELINE, 0, 0)); }

std::int32_t EditBox::scrollPosition(std::int32_t position)
{
    const std::int32_t amount = position - scrollPosition();
    if (style() & ES_MULTILINE)
        sendMessage(EM_LINESCROLL, 0, static_cast<LPARAM>(amount));
    else
        sendMessage(EM_LINESCROLL, wide(amount), 0);
    return position;
}

std::int32_t EditBox::lineCount()
{
    const auto lines = static_cast<std::int32_t>(sendMessage(EM_GETLINECOUNT, 0, 0));
    require(lines >= 1, "an edit box has a line at least");
    return lines;
}

std::int32_t EditBox::textLimit(std::int32_t limit)
{
    sendMessage(EM_LIMITTEXT, wide(limit), 0);
    return limit;
}

std::int32_t EditBox::textLimit() { return static_cast<std::int32_t>(sendMessage(EM_GETLIMITTEXT, 0, 0)); }

bool EditBox::modified() { return sendMessage(EM_GETMODIFY, 0, 0) != 0; }

bool EditBox::modified(bool changed)
{
    sendMessage(EM_SETMODIFY, changed ? TRUE : FALSE, 0);
    return changed;
}

char EditBox::passwordChar() { return static_cast<char>(sendMessage(EM_GETPASSWORDCHAR, 0, 0) & 0xFF); }

char EditBox::passwordChar(char character)
{
    sendMessage(EM_SETPASSWORDCHAR, static_cast<unsigned char>(character), 0);
    return character;
}

bool EditBox::readOnly() { return (style() & ES_READONLY) != 0; }

bool EditBox::readOnly(bool fixed)
{
    sendMessage(EM_SETREADONLY, fixed ? TRUE : FALSE, 0);
    return fixed;
}

bool EditBox::hasSelection()
{
    std::int32_t start;
    std::int32_t end;
    selection(&start, &end);
    return start != end;
}

std::string EditBox::selectedText()
{
    std::int32_t start;
    std::int32_t end;
    selection(&start, &end);
    if (start == end)
        return {};
    const std::string all = text();
    requireInRange(start >= 0 && start <= end && static_cast<std::size_t>(end) <= all.size(),
        "the selection lies within the text");
    return all.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
}

bool EditBox::undo() { return sendMessage(EM_UNDO, 0, 0) != 0; }

void EditBox::selection(std::int32_t* start, std::int32_t* end)
{
    require(start != nullptr && end != nullptr, "the selection is read into two places");
    *start = 0;
    *end = 0;
    sendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
}

void EditBox::selection(std::int32_t start, std::int32_t end)
{
    sendMessage(EM_SETSEL, wide(start), static_cast<LPARAM>(end));
}

void EditBox::selectAll() { selection(0, -1); }

void EditBox::scrollToCaret() { sendMessage(EM_SCROLLCARET, 0, 0); }

void EditBox::replaceSelection(const std::string& text, bool undoable)
{
    const std::string copy = text;
    sendMessage(EM_REPLACESEL, undoable ? TRUE : FALSE, textParameter(copy));
}

void EditBox::clear() { sendMessage(WM_CLEAR, 0, 0); }

void EditBox::cut() { sendMessage(WM_CUT, 0, 0); }

void EditBox::copy() { sendMessage(WM_COPY, 0, 0); }

void EditBox::paste() { sendMessage(WM_PASTE, 0, 0); }

// ---- ListBox --------------------------------------------------------------------

ListBox::ListBox(WindowBase* parent, std::int32_t id)
    : Control(parent, attachableId(id))
{
}

ListBox::ListBox(WindowBase* parent, std::int32_t id, const Rectangle& bounds, bool sorted)
    : ListBox(parent, id, "LISTBOX", bounds,
          WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (sorted ? LBS_SORT : 0))
{
}

ListBox::ListBox(WindowBase* parent, std::int32_t id, const char* className, const Rectangle& bounds, DWORD style)
    : Control(parent, id, className, "", bounds, style)
{
}

std::int32_t ListBox::add(const std::string& text)
{
    return added(sendMessage(LB_ADDSTRING, 0, textParameter(text)), listMessages.addName, listMessages);
}

std::int32_t ListBox::add(std::int32_t index, const std::string& text)
{
    return added(sendMessage(LB_INSERTSTRING, wide(index), textParameter(text)), listMessages.insertName, listMessages);
}

void ListBox::remove(std::int32_t index)
{
    require(index >= 0 && index < length(), "an item of the list");
    sendMessage(LB_DELETESTRING, wide(index), 0);
}

std::int32_t ListBox::find(const std::string& text, std::int32_t start, bool prefix)
{
    return static_cast<std::int32_t>(
        sendMessage(prefix ? LB_FINDSTRING : LB_FINDSTRINGEXACT, wide(start), textParameter(text)));
}

void ListBox::removeAll() { sendMessage(LB_RESETCONTENT, 0, 0); }

std::string ListBox::item(std::int32_t index) { return itemText(*this, listMessages, index); }

std::int32_t ListBox::selectMatching(const std::string& text, std::int32_t start)
{
    return static_cast<std::int32_t>(sendMessage(LB_SELECTSTRING, wide(start), textParameter(text)));
}

std::int32_t ListBox::length() { return count(*this, listMessages); }

std::int32_t ListBox::selected() { return currentItem(*this, listMessages); }

std::int32_t ListBox::selected(std::int32_t index)
{
    require(index >= -1 && index < length(), "an item of the list, or -1 for none");
    // The platform answers -1 for "no selection" too.
    if (sendMessage(LB_SETCURSEL, wide(index), 0) == LB_ERR && index != -1)
        checkUnknownAPI(false, listMessages.setCurrentName, listMessages.selectedOperation);
    return index;
}

std::string ListBox::selectedItem() { return item(selected()); }

std::int32_t ListBox::scrollPosition() { return static_cast<std::int32_t>(sendMessage(LB_GETTOPINDEX, 0, 0)); }

std::int32_t ListBox::scrollPosition(std::int32_t index) { return topIndex(*this, listMessages, index); }

// ---- ComboBox -------------------------------------------------------------------

ComboBox::ComboBox(WindowBase* parent, std::int32_t id)
    : ListBox(parent, attachableId(id))
{
}

ComboBox::ComboBox(WindowBase* parent, std::int32_t id, const Rectangle& bounds, DWORD comboStyle)
    : ListBox(parent, id, "COMBOBOX", bounds, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | comboStyle)
{
}

std::int32_t ComboBox::add(const std::string& text)
{
    return added(sendMessage(CB_ADDSTRING, 0, textParameter(text)), comboMessages.addName, comboMessages);
}

std::int32_t ComboBox::add(std::int32_t index, const std::string& text)
{
    return added(
        sendMessage(CB_INSERTSTRING, wide(index), textParameter(text)), comboMessages.insertName, comboMessages);
}

void ComboBox::remove(std::int32_t index)
{
    require(index >= 0 && index < length(), "an item of the list");
    sendMessage(CB_DELETESTRING, wide(index), 0);
}

std::int32_t ComboBox::find(const std::string& text, std::int32_t start, bool prefix)
{
    return static_cast<std::int32_t>(
        sendMessage(prefix ? CB_FINDSTRING : CB_FINDSTRINGEXACT, wide(start), textParameter(text)));
}

void ComboBox::removeAll() { sendMessage(CB_RESETCONTENT, 0, 0); }

std::string ComboBox::item(std::int32_t index) { return itemText(*this, comboMessages, index); }

std::int32_t ComboBox::selectMatching(const std::string& text, std::int32_t start)
{
    return static_cast<std::int32_t>(sendMessage(CB_SELECTSTRING, wide(start), textParameter(text)));
}

std::int32_t ComboBox::length() { return count(*this, comboMessages); }

std::int32_t ComboBox::selected() { return currentItem(*this, comboMessages); }

std::int32_t ComboBox::selected(std::int32_t index)
{
    require(index >= -1 && index < length(), "an item of the list, or -1 for none");
    const bool failed = sendMessage(CB_SETCURSEL, wide(index), 0) == CB_ERR && index != -1;
    require(!failed, "the combo box selects an item of its list");
    return index;
}

std::int32_t ComboBox::scrollPosition() { return static_cast<std::int32_t>(sendMessage(CB_GETTOPINDEX, 0, 0)); }

std::int32_t ComboBox::scrollPosition(std::int32_t index) { return topIndex(*this, comboMessages, index); }

bool ComboBox::dropped() { return sendMessage(CB_GETDROPPEDSTATE, 0, 0) != 0; }

bool ComboBox::dropped(bool shown)
{
    sendMessage(CB_SHOWDROPDOWN, shown ? TRUE : FALSE, 0);
    return shown;
}

std::int32_t ComboBox::droppedWidth() { return static_cast<std::int32_t>(sendMessage(CB_GETDROPPEDWIDTH, 0, 0)); }

std::int32_t ComboBox::droppedWidth(std::int32_t width)
{
    sendMessage(CB_SETDROPPEDWIDTH, wide(width), 0);
    return width;
}

bool ComboBox::extendedUI() { return sendMessage(CB_GETEXTENDEDUI, 0, 0) != 0; }

bool ComboBox::extendedUI(bool extended)
{
    sendMessage(CB_SETEXTENDEDUI, extended ? TRUE : FALSE, 0);
    return extended;
}

std::int32_t ComboBox::textLimit(std::int32_t limit)
{
    sendMessage(CB_LIMITTEXT, wide(limit), 0);
    m_textLimit = limit;
    return limit;
}

std::int32_t ComboBox::textLimit() { return m_textLimit; }

void ComboBox::clear() { sendMessage(WM_CLEAR, 0, 0); }

void ComboBox::cut() { sendMessage(WM_CUT, 0, 0); }

void ComboBox::copy() { sendMessage(WM_COPY, 0, 0); }

void ComboBox::paste() { sendMessage(WM_PASTE, 0, 0); }

}
