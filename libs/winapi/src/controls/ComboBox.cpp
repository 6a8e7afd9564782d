// The COMBOBOX class: a selection field above a list. A simple combo box
// (CBS_SIMPLE) shows an edit box and its list at all times; a drop-down one
// (CBS_DROPDOWN) an edit box and a button that drops the list down; a
// drop-down list (CBS_DROPDOWNLIST) a field that shows the selected line
// and drops the list down when clicked. The edit box is an EDIT child
// (identifier 1001); the list is a ComboLBox (identifier 1000 as a child of
// a simple combo box, a pop-up otherwise) that reports to the combo box.
// The list's CB_ messages are its LB_ messages, with the same results.
//
// What the user does, in order:
//  1. F4, Alt+Down or Alt+Up (F4 not with the extended interface, where
//     Down drops the list instead), a click on the button, or on the field
//     of a drop-down list, drops the list down or closes it.
//  2. Up, Down, Page Up, Page Down, Home and End change the selection in the
//     list, shown or not; a drop-down list also selects by a typed letter.
//  3. In a dropped list a press selects a line and the release over it
//     chooses it: the list closes. Enter closes it the same way; Escape, a
//     press outside the list or the loss of the focus closes it as well.
// A change of the selection puts the line's text in the field and is
// reported with CBN_SELCHANGE; the list's opening and closing with
// CBN_DROPDOWN and CBN_CLOSEUP, preceded by CBN_SELENDOK (chosen) or
// CBN_SELENDCANCEL; changes typed into the edit box with CBN_EDITUPDATE and
// CBN_EDITCHANGE; the focus with CBN_SETFOCUS and CBN_KILLFOCUS.
//
// Painting is the seam where the field and button will be drawn once device
// contexts exist.
#include "controls/ControlSupport.h"
#include "controls/ListBox.h"
#include "controls/StandardControls.h"

#include <algorithm>
#include <vector>

namespace winapi::controls {
namespace {

constexpr int editId = 1001;
constexpr int listId = 1000;

struct ComboState {
    HWND window { nullptr };
    HWND edit { nullptr };
    HWND list { nullptr };
    DWORD kind { CBS_SIMPLE };
    FontMetrics font;
    int fieldHeight { 0 };
    int height { 0 };       // as made or last sized: the field and the dropped list
    int droppedWidth { 0 }; // the least width of the dropped list
    bool dropped { false };
    bool extendedUI { false };
    bool focused { false };
    bool sizing { false };      // keeping a drop-down's height to its field
    bool settingText { false }; // the field is being set from the list
};

StateTable<ComboState>& states()
{
    static StateTable<ComboState> table;
    return table;
}

bool dropsDown(const ComboState& s)
{
    return s.kind != CBS_SIMPLE;
}

int buttonWidth(const ComboState& s)
{
    return dropsDown(s) ? GetSystemMetrics(SM_CXVSCROLL) : 0;
}

void notify(const ComboState& s, WORD code)
{
    notifyParent(s.window, code);
}

// Sends a notification; false when the parent destroyed the combo box meanwhile.
bool notifyAlive(const ComboState& s, WORD code)
{
    HWND window = s.window;
    notifyParent(window, code);
    return states().find(window) != nullptr;
}

LRESULT toList(const ComboState& s, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return s.list ? SendMessageA(s.list, message, wParam, lParam) : CB_ERR;
}

std::string itemText(const ComboState& s, int index)
{
    const LRESULT length = toList(s, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length < 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    toList(s, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

int selectedIndex(const ComboState& s)
{
    return static_cast<int>(toList(s, LB_GETCURSEL));
}

// The selected line's text into the field: the edit box, selected whole,
// or the drop-down list's own field.
void showSelection(ComboState& s)
{
    const int index = selectedIndex(s);
    if (s.edit) {
        const std::string text = index >= 0 ? itemText(s, index) : std::string();
        // A line from the list is shown whole, even where the user could not
        // type as much into the field.
        const bool narrow = !(styleOf(s.edit) & ES_AUTOHSCROLL);
        if (narrow)
            changeStyle(s.edit, ES_AUTOHSCROLL, 0);
        s.settingText = true;
        SendMessageA(s.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageA(s.edit, EM_SETSEL, 0, -1);
        s.settingText = false;
        if (narrow)
            changeStyle(s.edit, 0, ES_AUTOHSCROLL);
    }
    InvalidateRect(s.window, nullptr, FALSE);
}

// ---- Layout -----------------------------------------------------------------

void layout(ComboState& s)
{
    RECT client {};
    GetClientRect(s.window, &client);
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);
    if (s.edit) {
        MoveWindow(s.edit, edgeX, edgeY, std::max(0, static_cast<int>(client.right) - 2 * edgeX - buttonWidth(s)),
            std::max(0, s.fieldHeight - 2 * edgeY), TRUE);
    }
    if (s.kind == CBS_SIMPLE && s.list) {
        MoveWindow(s.list, 0, s.fieldHeight, client.right, std::max(0, static_cast<int>(client.bottom) - s.fieldHeight), TRUE);
    }
}

// A drop-down combo box is as high as its field.
void fitToField(ComboState& s)
{
    if (!dropsDown(s))
        return;
    RECT window {};
    GetWindowRect(s.window, &window);
    if (window.bottom - window.top == s.fieldHeight)
        return;
    s.sizing = true;
    SetWindowPos(s.window, nullptr, 0, 0, window.right - window.left, s.fieldHeight,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    s.sizing = false;
}

// A drop-down combo box given a height beyond its field's takes the rest
// as the dropped list's.
void resized(ComboState& s)
{
    if (dropsDown(s) && !s.sizing) {
        RECT window {};
        GetWindowRect(s.window, &window);
        const int height = window.bottom - window.top;
        if (height > s.fieldHeight)
            s.height = height;
        fitToField(s);
    }
    layout(s);
}

RECT droppedRect(const ComboState& s)
{
    RECT window {};
    GetWindowRect(s.window, &window);
    const int width = std::max(static_cast<int>(window.right - window.left), s.droppedWidth);
    const int itemHeight = static_cast<int>(toList(s, LB_GETITEMHEIGHT));
    const int height = std::max(s.height - s.fieldHeight, itemHeight + 2);
    return { window.left, window.bottom, window.left + width, window.bottom + height };
}

// ---- Dropping down ------------------------------------------------------------

void drop(ComboState& s)
{
    if (!dropsDown(s) || s.dropped)
        return;
    if (!notifyAlive(s, CBN_DROPDOWN))
        return;
    s.dropped = true;
    const int index = selectedIndex(s);
    if (index >= 0)
        toList(s, LB_SETTOPINDEX, static_cast<WPARAM>(index));
    const RECT rect = droppedRect(s);
    SetWindowPos(s.list, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
        SWP_SHOWWINDOW | SWP_NOACTIVATE);
    SetCapture(s.list);
    InvalidateRect(s.window, nullptr, FALSE);
}

void closeUp(ComboState& s, bool chosen)
{
    if (!s.dropped)
        return;
    s.dropped = false;
    ShowWindow(s.list, SW_HIDE);
    if (GetCapture() == s.list)
        ReleaseCapture();
    InvalidateRect(s.window, nullptr, FALSE);
    if (notifyAlive(s, chosen ? CBN_SELENDOK : CBN_SELENDCANCEL))
        notify(s, CBN_CLOSEUP);
}

void toggle(ComboState& s)
{
    if (s.dropped)
        closeUp(s, true);
    else
        drop(s);
}

// ---- Keyboard -------------------------------------------------------------------

// The keys a combo box keeps from its edit box or takes itself; true when
// the key was the combo box's.
bool comboKey(ComboState& s, UINT message, WPARAM key, LPARAM lParam)
{
    const bool alt = message == WM_SYSKEYDOWN || (HIWORD(lParam) & KF_ALTDOWN);
    if (message == WM_SYSKEYDOWN && !(key == VK_UP || key == VK_DOWN))
        return false;
    switch (key) {
    case VK_F4:
        if (s.extendedUI || alt)
            return false;
        toggle(s);
        return true;
    case VK_UP:
    case VK_DOWN:
        if (alt) {
            toggle(s);
            return true;
        }
        if (s.extendedUI && key == VK_DOWN && !s.dropped && dropsDown(s)) {
            drop(s);
            return true;
        }
        [[fallthrough]];
    case VK_PRIOR:
    case VK_NEXT:
        toList(s, WM_KEYDOWN, key, lParam);
        return true;
    case VK_HOME:
    case VK_END:
        // In an edit box these move the caret.
        if (s.edit)
            return false;
        toList(s, WM_KEYDOWN, key, lParam);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        if (!s.dropped)
            return false;
        closeUp(s, key == VK_RETURN);
        return true;
    default: return false;
    }
}

LRESULT dialogCode(const ComboState& s)
{
    // While the list is down, Enter and Escape close it instead of the dialog.
    return DLGC_WANTCHARS | DLGC_WANTARROWS | (s.dropped ? DLGC_WANTALLKEYS : 0);
}

// The edit box of a combo box: an edit box whose keys the combo box sees first.
LRESULT CALLBACK comboEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_GETDLGCODE) {
        if (ComboState* s = states().find(GetParent(window))) {
            if (message == WM_GETDLGCODE)
                return editProcedure(window, message, wParam, lParam) | dialogCode(*s);
            if (comboKey(*s, message, wParam, lParam))
                return 0;
        }
    }
    return editProcedure(window, message, wParam, lParam);
}

// ---- Messages from the edit box and the list ----------------------------------

LRESULT fromEdit(ComboState& s, WORD code)
{
    switch (code) {
    case EN_SETFOCUS:
        s.focused = true;
        notify(s, CBN_SETFOCUS);
        break;
    case EN_KILLFOCUS:
        s.focused = false;
        closeUp(s, false);
        if (states().find(s.window))
            notify(s, CBN_KILLFOCUS);
        break;
    case EN_UPDATE:
        if (!s.settingText)
            notify(s, CBN_EDITUPDATE);
        break;
    case EN_CHANGE:
        if (!s.settingText)
            notify(s, CBN_EDITCHANGE);
        break;
    case EN_ERRSPACE: notify(s, static_cast<WORD>(CBN_ERRSPACE)); break;
    default: break;
    }
    return 0;
}

LRESULT fromList(ComboState& s, WORD code)
{
    switch (code) {
    case LBN_SELCHANGE:
        showSelection(s);
        notify(s, CBN_SELCHANGE);
        break;
    case LBN_DBLCLK:
        if (s.kind == CBS_SIMPLE)
            notify(s, CBN_DBLCLK);
        break;
    case static_cast<WORD>(LBN_ERRSPACE): notify(s, static_cast<WORD>(CBN_ERRSPACE)); break;
    case comboListChosen: closeUp(s, true); break;
    case comboListCancelled: closeUp(s, false); break;
    default: break;
    }
    return 0;
}

// ---- Creation -------------------------------------------------------------------

void measure(ComboState& s, HFONT font)
{
    s.font.select(font);
    s.fieldHeight = s.font.height() + 2 + 2 * GetSystemMetrics(SM_CYEDGE);
}

LRESULT create(ComboState& s, const CREATESTRUCTA& create)
{
    const auto style = static_cast<DWORD>(create.style);
    s.kind = style & 3;
    if (s.kind == 0)
        s.kind = CBS_SIMPLE;
    measure(s, nullptr);
    s.height = create.cy;
    const HINSTANCE instance = create.hInstance;
    if (s.kind != CBS_DROPDOWNLIST) {
        DWORD editStyle = WS_CHILD | WS_VISIBLE;
        if (style & CBS_AUTOHSCROLL)
            editStyle |= ES_AUTOHSCROLL;
        if (style & CBS_UPPERCASE)
            editStyle |= ES_UPPERCASE;
        if (style & CBS_LOWERCASE)
            editStyle |= ES_LOWERCASE;
        s.edit = CreateWindowExA(0, "EDIT", create.lpszName ? create.lpszName : "", editStyle, 0, 0, 0, 0, s.window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(editId)), instance, nullptr);
        if (!s.edit)
            return -1;
        SetWindowLongPtrA(s.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&comboEditProcedure));
    }
    DWORD listStyle = LBS_COMBOBOX | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER;
    if (style & CBS_SORT)
        listStyle |= LBS_SORT;
    if (s.kind == CBS_SIMPLE)
        s.list = CreateWindowExA(0, "ComboLBox", "", listStyle | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, s.window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(listId)), instance, s.window);
    else
        s.list = CreateWindowExA(WS_EX_TOOLWINDOW, "ComboLBox", "", listStyle | WS_POPUP, 0, 0, 0, 0, s.window,
            nullptr, instance, s.window);
    if (!s.list)
        return -1;
    fitToField(s);
    layout(s);
    return 0;
}

void fontChanged(ComboState& s, HFONT font, bool redraw)
{
    measure(s, font);
    if (s.edit)
        SendMessageA(s.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    toList(s, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    fitToField(s);
    layout(s);
}

LRESULT buttonDown(ComboState& s, LPARAM lParam)
{
    if (s.kind == CBS_SIMPLE)
        return 0;
    if (s.kind == CBS_DROPDOWNLIST) {
        if (!s.focused)
            SetFocus(s.window);
    } else {
        RECT client {};
        GetClientRect(s.window, &client);
        // In a drop-down combo box only the button drops the list.
        if (GET_X_LPARAM(lParam) < client.right - buttonWidth(s))
            return 0;
        if (GetFocus() != s.edit)
            SetFocus(s.edit);
    }
    if (states().find(s.window))
        toggle(s);
    return 0;
}

LRESULT setText(ComboState& s, LPARAM lParam)
{
    if (!s.edit)
        return CB_ERR;
    return SendMessageA(s.edit, WM_SETTEXT, 0, lParam) ? TRUE : CB_ERRSPACE;
}

LRESULT getText(const ComboState& s, WPARAM size, LPARAM buffer)
{
    if (s.edit)
        return SendMessageA(s.edit, WM_GETTEXT, size, buffer);
    const int index = selectedIndex(s);
    return copyToBuffer(index >= 0 ? itemText(s, index) : std::string(), size, buffer);
}

LRESULT textLength(const ComboState& s)
{
    if (s.edit)
        return SendMessageA(s.edit, WM_GETTEXTLENGTH, 0, 0);
    const int index = selectedIndex(s);
    return index >= 0 ? toList(s, LB_GETTEXTLEN, static_cast<WPARAM>(index)) : 0;
}

LRESULT setCurrent(ComboState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = toList(s, message, wParam, lParam);
    showSelection(s);
    return result;
}

std::unique_ptr<ComboState> make(HWND window, const CREATESTRUCTA*)
{
    auto state = std::make_unique<ComboState>();
    state->window = window;
    return state;
}

LRESULT handle(ComboState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: return create(s, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        // The dropped list is a pop-up of its own, not a child.
        if (dropsDown(s) && s.list)
            DestroyWindow(s.list);
        s.list = nullptr;
        return 0;
    case WM_SIZE: resized(s); return 0;
    // The list's messages, under the names the combo box gives them.
    case CB_ADDSTRING: return toList(s, LB_ADDSTRING, wParam, lParam);
    case CB_INSERTSTRING: return toList(s, LB_INSERTSTRING, wParam, lParam);
    case CB_DELETESTRING: return toList(s, LB_DELETESTRING, wParam, lParam);
    case CB_FINDSTRING: return toList(s, LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT: return toList(s, LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_GETCOUNT: return toList(s, LB_GETCOUNT);
    case CB_GETCURSEL: return toList(s, LB_GETCURSEL);
    case CB_GETLBTEXT: return toList(s, LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN: return toList(s, LB_GETTEXTLEN, wParam);
    case CB_GETITEMDATA: return toList(s, LB_GETITEMDATA, wParam);
    case CB_SETITEMDATA: return toList(s, LB_SETITEMDATA, wParam, lParam);
    case CB_GETTOPINDEX: return toList(s, LB_GETTOPINDEX);
    case CB_SETTOPINDEX: return toList(s, LB_SETTOPINDEX, wParam);
    case CB_INITSTORAGE: return toList(s, LB_INITSTORAGE, wParam, lParam);
    case CB_SETCURSEL: return setCurrent(s, LB_SETCURSEL, wParam, 0);
    case CB_SELECTSTRING: return setCurrent(s, LB_SELECTSTRING, wParam, lParam);
    case CB_RESETCONTENT:
        toList(s, LB_RESETCONTENT);
        showSelection(s);
        return CB_OKAY;
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? s.fieldHeight - 2 * GetSystemMetrics(SM_CYEDGE)
                                                : toList(s, LB_GETITEMHEIGHT, wParam);
    case CB_SETITEMHEIGHT:
        if (static_cast<int>(wParam) == -1) {
            if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
                return CB_ERR;
            s.fieldHeight = LOWORD(lParam) + 2 * GetSystemMetrics(SM_CYEDGE);
            fitToField(s);
            layout(s);
            return CB_OKAY;
        }
        return toList(s, LB_SETITEMHEIGHT, wParam, lParam);
    case CB_SHOWDROPDOWN:
        if (wParam)
            drop(s);
        else
            closeUp(s, false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return s.dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT:
        if (auto* rect = reinterpret_cast<RECT*>(lParam)) {
            if (dropsDown(s))
                *rect = droppedRect(s);
            else
                GetWindowRect(s.list, rect);
        }
        return TRUE;
    case CB_SETDROPPEDWIDTH:
        s.droppedWidth = std::max(0, static_cast<int>(wParam));
        return s.droppedWidth;
    case CB_GETDROPPEDWIDTH: {
        RECT window {};
        GetWindowRect(s.window, &window);
        return std::max(static_cast<int>(window.right - window.left), s.droppedWidth);
    }
    case CB_SETEXTENDEDUI: s.extendedUI = wParam != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return s.extendedUI ? TRUE : FALSE;
    case CB_LIMITTEXT:
        if (!s.edit)
            return CB_ERR;
        SendMessageA(s.edit, EM_LIMITTEXT, wParam, 0);
        return TRUE;
    case CB_GETEDITSEL:
        return s.edit ? SendMessageA(s.edit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!s.edit)
            return CB_ERR;
        SendMessageA(s.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(lParam))),
            static_cast<short>(HIWORD(lParam)));
        return TRUE;
    case WM_SETTEXT: return setText(s, lParam);
    case WM_GETTEXT: return getText(s, wParam, lParam);
    case WM_GETTEXTLENGTH: return textLength(s);
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO: return s.edit ? SendMessageA(s.edit, message, wParam, lParam) : 0;
    case WM_SETFONT: fontChanged(s, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font.font());
    case WM_ENABLE:
        if (s.edit)
            EnableWindow(s.edit, wParam != 0);
        if (!wParam)
            closeUp(s, false);
        InvalidateRect(s.window, nullptr, FALSE);
        return 0;
    case WM_COMMAND:
        if (s.edit && reinterpret_cast<HWND>(lParam) == s.edit)
            return fromEdit(s, HIWORD(wParam));
        return 0;
    case comboListNotification:
        if (reinterpret_cast<HWND>(lParam) == s.list)
            return fromList(s, static_cast<WORD>(wParam));
        return 0;
    case WM_GETDLGCODE: return dialogCode(s);
    case WM_SETFOCUS:
        if (s.edit) {
            SetFocus(s.edit);
            SendMessageA(s.edit, EM_SETSEL, 0, -1);
            return 0;
        }
        s.focused = true;
        InvalidateRect(s.window, nullptr, FALSE);
        notify(s, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (s.edit)
            return 0;
        s.focused = false;
        closeUp(s, false);
        if (states().find(s.window))
            notify(s, CBN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!comboKey(s, message, wParam, lParam) && message == WM_SYSKEYDOWN)
            return DefWindowProcA(s.window, message, wParam, lParam);
        return 0;
    case WM_CHAR:
        // A drop-down list selects by letter; an edit box takes its own characters.
        if (!s.edit)
            toList(s, WM_CHAR, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return buttonDown(s, lParam);
    case WM_MOUSEWHEEL: return toList(s, WM_MOUSEWHEEL, wParam, lParam);
    case WM_PAINT: paintControl(s.window); return 0;
    case WM_ERASEBKGND: return TRUE;
    default: return DefWindowProcA(s.window, message, wParam, lParam);
    }
}

}

LRESULT CALLBACK comboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return dispatchToState(states(), window, message, wParam, lParam, make, handle);
}

}
