// The LISTBOX class, and the list of a combo box (ComboLBox), which is the
// same list that reports to its combo box instead of its parent.
//
// A single-selection list of texts, unsorted or kept sorted (LBS_SORT)
// without regard to case, with the platform's results: LB_ERR for a bad
// index or no match, LB_ERRSPACE when the list cannot grow. The list shows
// as many lines of the font's height as its client area holds; without
// LBS_NOINTEGRALHEIGHT it trims its height to whole lines. Its vertical
// scroll bar (WS_VSCROLL) is the non-client one the window system lays out;
// the list handles presses on it itself: the arrows scroll by a line, the
// track by a page, and the thumb is dragged.
//
// Selection by the user, in order:
//  1. A press on a line, or moving the pressed mouse over lines, selects it.
//  2. Up, Down, Page Up, Page Down, Home and End move the selection; with
//     nothing selected the first of them selects the line with the focus.
//  3. A character selects the next line that starts with it, wrapping.
//  4. Each change the user makes is reported with LBN_SELCHANGE, and a
//     double click on a line with LBN_DBLCLK, when the list has LBS_NOTIFY.
// Programs' changes (LB_SETCURSEL, LB_SELECTSTRING) are not reported.
//
// A combo box's list reports to its combo box, never takes the focus or the
// activation, and, when it drops down, holds the mouse while it is shown: a
// press on a line selects it, the release over it chooses it, and a press
// outside the list (or losing the mouse) cancels.
//
// LB_ADDSTRING and LB_INSERTSTRING can be made to fail through fault
// injection under their message names: a memory error code gives
// LB_ERRSPACE, any other LB_ERR.
#include "controls/ListBox.h"

#include "controls/ControlSupport.h"
#include "controls/StandardControls.h"
#include "core/Faults.h"

#include <algorithm>
#include <new>
#include <vector>

namespace winapi::controls {
namespace {

// One notch of a mouse wheel (the platform's WHEEL_DELTA) scrolls three lines.
constexpr int wheelNotch = 120;
constexpr int linesPerNotch = 3;

struct ListItem {
    std::string text;
    ULONG_PTR data { 0 };
};

struct ListState {
    HWND window { nullptr };
    HWND combo { nullptr }; // the combo box a ComboLBox reports to
    bool dropDown { false }; // a combo box's list that drops down: a pop-up that holds the mouse
    DWORD style { 0 };       // kept from creation and WM_STYLECHANGED: asked for on every line added
    std::vector<ListItem> items;
    int selected { -1 };
    int caret { 0 }; // the line with the focus rectangle
    int top { 0 };
    FontMetrics font;
    int itemHeight { 1 };
    bool focused { false };
    bool redraw { true };
    bool trimming { false }; // resizing itself to whole lines
    enum class Tracking { None, Selecting, Thumb } tracking { Tracking::None };
    int thumbGrab { 0 }; // where in the thumb the press was
    int horizontalExtent { 0 };
};

StateTable<ListState>& states()
{
    static StateTable<ListState> table;
    return table;
}

int count(const ListState& s)
{
    return static_cast<int>(s.items.size());
}

bool valid(const ListState& s, WPARAM index)
{
    return static_cast<int>(index) >= 0 && static_cast<int>(index) < count(s);
}

RECT clientOf(HWND window)
{
    RECT client {};
    GetClientRect(window, &client);
    return client;
}

// Whole lines shown, at least one.
int pageSize(const ListState& s)
{
    return std::max(1, static_cast<int>(clientOf(s.window).bottom) / s.itemHeight);
}

int lastTop(const ListState& s)
{
    return std::max(0, count(s) - pageSize(s));
}

void invalidate(const ListState& s)
{
    if (s.redraw)
        InvalidateRect(s.window, nullptr, TRUE);
}

void setTop(ListState& s, int top)
{
    const int clamped = std::clamp(top, 0, lastTop(s));
    if (clamped != s.top) {
        s.top = clamped;
        invalidate(s);
    }
}

void ensureVisible(ListState& s, int index)
{
    if (index < 0)
        return;
    if (index < s.top)
        setTop(s, index);
    else if (index >= s.top + pageSize(s))
        setTop(s, index - pageSize(s) + 1);
}

void notify(const ListState& s, WORD code)
{
    if (s.combo) {
        SendMessageA(s.combo, comboListNotification, code, reinterpret_cast<LPARAM>(s.window));
        return;
    }
    const bool always = code == LBN_SETFOCUS || code == LBN_KILLFOCUS || code == static_cast<WORD>(LBN_ERRSPACE);
    if (always || (s.style & LBS_NOTIFY))
        notifyParent(s.window, code);
}

// The line under a client point; -1 below the last one.
int itemAt(const ListState& s, int y)
{
    if (y < 0)
        return -1;
    const int index = s.top + y / s.itemHeight;
    return index < count(s) ? index : -1;
}

// The user's selection (steps 1 to 4 at the top).
void selectByUser(ListState& s, int index)
{
    if (index < 0 || index >= count(s))
        return;
    s.caret = index;
    ensureVisible(s, index);
    if (index == s.selected)
        return;
    s.selected = index;
    invalidate(s);
    notify(s, LBN_SELCHANGE);
}

// Without LBS_NOINTEGRALHEIGHT the list keeps its height to whole lines.
void trimHeight(ListState& s)
{
    const DWORD style = s.style;
    if ((style & LBS_NOINTEGRALHEIGHT) || s.trimming || s.combo)
        return;
    const RECT client = clientOf(s.window);
    const int remainder = static_cast<int>(client.bottom) % s.itemHeight;
    if (remainder == 0 || client.bottom <= s.itemHeight)
        return;
    RECT window {};
    GetWindowRect(s.window, &window);
    s.trimming = true;
    SetWindowPos(s.window, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - remainder,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    s.trimming = false;
}

void fontChanged(ListState& s, HFONT font, bool redraw)
{
    s.font.select(font);
    s.itemHeight = s.font.height();
    trimHeight(s);
    setTop(s, s.top);
    if (redraw)
        invalidate(s);
}

// ---- Items ------------------------------------------------------------------

// Where LBS_SORT puts a new text: after the texts equal to it.
int sortedPosition(const ListState& s, std::string_view text)
{
    const auto at = std::upper_bound(s.items.begin(), s.items.end(), text,
        [](std::string_view t, const ListItem& item) { return compareFolded(t, item.text) < 0; });
    return static_cast<int>(at - s.items.begin());
}

LRESULT injectedResult(const char* operation)
{
    if (!injectedFailure(operation))
        return LB_OKAY;
    const DWORD code = GetLastError();
    return code == ERROR_NOT_ENOUGH_MEMORY || code == ERROR_OUTOFMEMORY ? LB_ERRSPACE : LB_ERR;
}

LRESULT insertAt(ListState& s, int index, std::string_view text)
{
    try {
        s.items.insert(s.items.begin() + index, ListItem { std::string(text), 0 });
    } catch (const std::bad_alloc&) {
        notify(s, static_cast<WORD>(LBN_ERRSPACE));
        return LB_ERRSPACE;
    }
    if (s.selected >= index)
        ++s.selected;
    if (s.caret >= index && count(s) > 1)
        ++s.caret;
    if (index < s.top + pageSize(s) + 1)
        invalidate(s);
    return index;
}

LRESULT addString(ListState& s, LPARAM lParam)
{
    if (const LRESULT failed = injectedResult(s.combo ? "CB_ADDSTRING" : "LB_ADDSTRING"))
        return failed;
    const std::string_view text = textArgument(lParam);
    const bool sorted = s.style & LBS_SORT;
    return insertAt(s, sorted ? sortedPosition(s, text) : count(s), text);
}

LRESULT insertString(ListState& s, WPARAM wParam, LPARAM lParam)
{
    if (const LRESULT failed = injectedResult(s.combo ? "CB_INSERTSTRING" : "LB_INSERTSTRING"))
        return failed;
    const int index = static_cast<int>(wParam);
    if (index < -1 || index > count(s))
        return LB_ERR;
    return insertAt(s, index == -1 ? count(s) : index, textArgument(lParam));
}

LRESULT deleteString(ListState& s, WPARAM wParam)
{
    if (!valid(s, wParam))
        return LB_ERR;
    const int index = static_cast<int>(wParam);
    s.items.erase(s.items.begin() + index);
    if (s.selected == index)
        s.selected = -1;
    else if (s.selected > index)
        --s.selected;
    if (s.caret > index || s.caret >= count(s))
        s.caret = std::max(0, s.caret - 1);
    setTop(s, s.top);
    invalidate(s);
    return count(s);
}

void resetContent(ListState& s)
{
    s.items.clear();
    s.items.shrink_to_fit();
    s.selected = -1;
    s.caret = 0;
    s.top = 0;
    invalidate(s);
}

// The next line after `start` (wrapping; from the top for -1 or a line
// that does not exist) whose text matches.
template<typename Match>
LRESULT search(const ListState& s, WPARAM start, Match match)
{
    const int n = count(s);
    if (n == 0)
        return LB_ERR;
    const int from = valid(s, start) ? static_cast<int>(start) + 1 : 0;
    for (int step = 0; step < n; ++step) {
        const int index = (from + step) % n;
        if (match(s.items[static_cast<std::size_t>(index)].text))
            return index;
    }
    return LB_ERR;
}

LRESULT findPrefix(const ListState& s, WPARAM start, LPARAM lParam)
{
    const std::string_view prefix = textArgument(lParam);
    return search(s, start, [&](const std::string& text) { return startsWithFolded(text, prefix); });
}

LRESULT findExact(const ListState& s, WPARAM start, LPARAM lParam)
{
    const std::string_view wanted = textArgument(lParam);
    return search(s, start, [&](const std::string& text) { return compareFolded(text, wanted) == 0; });
}

LRESULT setCurrent(ListState& s, WPARAM wParam)
{
    const int index = static_cast<int>(wParam);
    if (index == -1) {
        if (s.selected != -1) {
            s.selected = -1;
            invalidate(s);
        }
        return LB_ERR;
    }
    if (!valid(s, wParam))
        return LB_ERR;
    s.selected = s.caret = index;
    ensureVisible(s, index);
    invalidate(s);
    return index;
}

LRESULT itemRect(const ListState& s, WPARAM wParam, LPARAM lParam)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (!rect || !(valid(s, wParam) || (wParam == 0 && count(s) == 0)))
        return LB_ERR;
    const RECT client = clientOf(s.window);
    const int y = (static_cast<int>(wParam) - s.top) * s.itemHeight;
    *rect = { 0, y, client.right, y + s.itemHeight };
    return LB_OKAY;
}

LRESULT itemFromPoint(const ListState& s, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    const RECT client = clientOf(s.window);
    const bool outside = x < 0 || x >= client.right || y < 0 || y >= client.bottom;
    int index = itemAt(s, std::max(0, y));
    if (index < 0)
        index = std::max(0, count(s) - 1);
    const bool beyond = outside || itemAt(s, y) < 0;
    return MAKELRESULT(static_cast<WORD>(index), beyond ? 1 : 0);
}

// ---- Scroll bar -------------------------------------------------------------

// The scroll bar's parts in screen coordinates along the vertical.
struct ScrollBarGeometry {
    bool present { false };
    int top { 0 };
    int bottom { 0 };
    int trackTop { 0 };
    int trackBottom { 0 };
    int thumbTop { 0 };
    int thumbBottom { 0 };
    bool scrollable { false };
};

ScrollBarGeometry scrollBar(const ListState& s)
{
    ScrollBarGeometry bar;
    if (!(s.style & WS_VSCROLL))
        return bar;
    const RECT client = clientOf(s.window);
    POINT corner { 0, 0 };
    ClientToScreen(s.window, &corner);
    bar.present = true;
    bar.top = corner.y;
    bar.bottom = corner.y + client.bottom;
    const int arrow = std::min(GetSystemMetrics(SM_CYVSCROLL), (bar.bottom - bar.top) / 2);
    bar.trackTop = bar.top + arrow;
    bar.trackBottom = bar.bottom - arrow;
    const int track = bar.trackBottom - bar.trackTop;
    const int range = lastTop(s);
    bar.scrollable = range > 0 && track > 0;
    if (!bar.scrollable)
        return bar;
    const long long proportional = static_cast<long long>(track) * pageSize(s) / count(s);
    const int thumb = static_cast<int>(
        std::clamp<long long>(proportional, std::min(GetSystemMetrics(SM_CYVTHUMB) / 2, track), track));
    bar.thumbTop = bar.trackTop + static_cast<int>(static_cast<long long>(track - thumb) * s.top / range);
    bar.thumbBottom = bar.thumbTop + thumb;
    return bar;
}

void scrollCommand(ListState& s, WORD command, int position)
{
    switch (command) {
    case SB_LINEUP: setTop(s, s.top - 1); break;
    case SB_LINEDOWN: setTop(s, s.top + 1); break;
    case SB_PAGEUP: setTop(s, s.top - std::max(1, pageSize(s) - 1)); break;
    case SB_PAGEDOWN: setTop(s, s.top + std::max(1, pageSize(s) - 1)); break;
    case SB_TOP: setTop(s, 0); break;
    case SB_BOTTOM: setTop(s, lastTop(s)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: setTop(s, position); break;
    default: break;
    }
}

void dragThumb(ListState& s, int screenY)
{
    const ScrollBarGeometry bar = scrollBar(s);
    if (!bar.scrollable)
        return;
    const int travel = (bar.trackBottom - bar.trackTop) - (bar.thumbBottom - bar.thumbTop);
    if (travel <= 0)
        return;
    const int offset = std::clamp(screenY - s.thumbGrab - bar.trackTop, 0, travel);
    const long long range = lastTop(s);
    setTop(s, static_cast<int>((offset * range + travel / 2) / travel));
}

LRESULT scrollBarPress(ListState& s, LPARAM lParam)
{
    const ScrollBarGeometry bar = scrollBar(s);
    if (!bar.present || !bar.scrollable)
        return 0;
    const int y = GET_Y_LPARAM(lParam);
    WORD command;
    if (y < bar.trackTop)
        command = SB_LINEUP;
    else if (y >= bar.trackBottom)
        command = SB_LINEDOWN;
    else if (y < bar.thumbTop)
        command = SB_PAGEUP;
    else if (y >= bar.thumbBottom)
        command = SB_PAGEDOWN;
    else {
        s.thumbGrab = y - bar.thumbTop;
        s.tracking = ListState::Tracking::Thumb;
        SetCapture(s.window);
        return 0;
    }
    SendMessageA(s.window, WM_VSCROLL, MAKEWPARAM(command, 0), 0);
    return 0;
}

// ---- Input --------------------------------------------------------------------

bool insideClient(const ListState& s, LPARAM lParam)
{
    const RECT client = clientOf(s.window);
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    return x >= 0 && x < client.right && y >= 0 && y < client.bottom;
}

LRESULT buttonDown(ListState& s, LPARAM lParam, bool twice)
{
    // A dropped list holds the mouse: a press outside it closes it.
    if (s.dropDown && !insideClient(s, lParam)) {
        notify(s, comboListCancelled);
        return 0;
    }
    // A simple combo box's list gives the focus to its combo box.
    if (s.combo) {
        HWND focus = GetFocus();
        if (!s.dropDown && focus != s.combo && !IsChild(s.combo, focus))
            SetFocus(s.combo);
    } else if (!s.focused) {
        SetFocus(s.window);
    }
    const int index = itemAt(s, GET_Y_LPARAM(lParam));
    selectByUser(s, index);
    if (twice && index >= 0) {
        notify(s, LBN_DBLCLK);
        return 0;
    }
    s.tracking = ListState::Tracking::Selecting;
    SetCapture(s.window);
    return 0;
}

LRESULT mouseMove(ListState& s, WPARAM keys, LPARAM lParam)
{
    if (s.tracking == ListState::Tracking::Thumb) {
        POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        ClientToScreen(s.window, &point);
        dragThumb(s, point.y);
        return 0;
    }
    if (s.tracking != ListState::Tracking::Selecting || !(keys & MK_LBUTTON))
        return 0;
    const int y = GET_Y_LPARAM(lParam);
    // Dragging past the top or bottom scrolls a line at a time.
    if (y < 0)
        selectByUser(s, std::max(0, s.top - 1));
    else if (y >= clientOf(s.window).bottom)
        selectByUser(s, std::min(count(s) - 1, s.top + pageSize(s)));
    else
        selectByUser(s, itemAt(s, y));
    return 0;
}

void endTracking(ListState& s)
{
    if (s.tracking == ListState::Tracking::None)
        return;
    s.tracking = ListState::Tracking::None;
    // A dropped list keeps the mouse until its combo box closes it.
    if (!s.dropDown && GetCapture() == s.window)
        ReleaseCapture();
}

LRESULT buttonUp(ListState& s, LPARAM lParam)
{
    const bool chosen = s.dropDown && s.tracking == ListState::Tracking::Selecting && insideClient(s, lParam)
        && itemAt(s, GET_Y_LPARAM(lParam)) >= 0;
    endTracking(s);
    if (chosen)
        notify(s, comboListChosen);
    return 0;
}

LRESULT keyDown(ListState& s, WPARAM key)
{
    if (count(s) == 0)
        return 0;
    const int page = std::max(1, pageSize(s) - 1);
    int target;
    switch (key) {
    case VK_UP: target = s.caret - 1; break;
    case VK_DOWN: target = s.caret + 1; break;
    case VK_PRIOR: target = s.caret - page; break;
    case VK_NEXT: target = s.caret + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count(s) - 1; break;
    default: return 0;
    }
    if (s.selected < 0 && key != VK_HOME && key != VK_END)
        target = s.caret;
    selectByUser(s, std::clamp(target, 0, count(s) - 1));
    return 0;
}

LRESULT character(ListState& s, WPARAM code)
{
    const auto c = static_cast<char>(code & 0xFF);
    if (static_cast<unsigned char>(c) < 0x20)
        return 0;
    const std::string_view prefix(&c, 1);
    const LRESULT found = search(s, static_cast<WPARAM>(s.selected < 0 ? -1 : s.caret),
        [&](const std::string& text) { return startsWithFolded(text, prefix); });
    if (found != LB_ERR)
        selectByUser(s, static_cast<int>(found));
    return 0;
}

std::unique_ptr<ListState> make(HWND window, const CREATESTRUCTA* create)
{
    auto state = std::make_unique<ListState>();
    state->window = window;
    if (create)
        state->style = static_cast<DWORD>(create->style);
    if (create && (create->style & LBS_COMBOBOX)) {
        state->combo = static_cast<HWND>(create->lpCreateParams);
        state->dropDown = (static_cast<DWORD>(create->style) & WS_POPUP) != 0;
    }
    state->itemHeight = state->font.height();
    return state;
}

LRESULT handle(ListState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: trimHeight(s); return 0;
    case WM_SIZE:
        trimHeight(s);
        setTop(s, s.top);
        return 0;
    case LB_ADDSTRING: return addString(s, lParam);
    case LB_INSERTSTRING: return insertString(s, wParam, lParam);
    case LB_DELETESTRING: return deleteString(s, wParam);
    case LB_RESETCONTENT: resetContent(s); return LB_OKAY;
    case LB_GETCOUNT: return injectedFailure(s.combo ? "CB_GETCOUNT" : "LB_GETCOUNT") ? LB_ERR : count(s);
    case LB_GETTEXT:
        if (!valid(s, wParam) || !lParam)
            return LB_ERR;
        return copyToBuffer(s.items[wParam].text, s.items[wParam].text.size() + 1, lParam);
    case LB_GETTEXTLEN: return valid(s, wParam) ? static_cast<LRESULT>(s.items[wParam].text.size()) : LB_ERR;
    case LB_GETITEMDATA: return valid(s, wParam) ? static_cast<LRESULT>(s.items[wParam].data) : LB_ERR;
    case LB_SETITEMDATA:
        if (!valid(s, wParam))
            return LB_ERR;
        s.items[wParam].data = static_cast<ULONG_PTR>(lParam);
        return LB_OKAY;
    case LB_FINDSTRING: return findPrefix(s, wParam, lParam);
    case LB_FINDSTRINGEXACT: return findExact(s, wParam, lParam);
    case LB_SELECTSTRING: {
        const LRESULT found = findPrefix(s, wParam, lParam);
        return found == LB_ERR ? LB_ERR : setCurrent(s, static_cast<WPARAM>(found));
    }
    case LB_GETCURSEL: return s.selected;
    case LB_SETCURSEL:
        if (injectedFailure(s.combo ? "CB_SETCURSEL" : "LB_SETCURSEL"))
            return LB_ERR;
        return setCurrent(s, wParam);
    case LB_GETSEL: return valid(s, wParam) ? (static_cast<int>(wParam) == s.selected ? 1 : 0) : LB_ERR;
    // A single-selection list has none of the multiple-selection messages.
    case LB_SETSEL:
    case LB_GETSELCOUNT:
    case LB_GETSELITEMS:
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: return LB_ERR;
    case LB_GETTOPINDEX: return s.top;
    case LB_SETTOPINDEX:
        if (!valid(s, wParam))
            return LB_ERR;
        setTop(s, static_cast<int>(wParam));
        return LB_OKAY;
    case LB_GETCARETINDEX: return s.caret;
    case LB_SETCARETINDEX:
        if (!valid(s, wParam))
            return LB_ERR;
        s.caret = static_cast<int>(wParam);
        if (!LOWORD(lParam))
            ensureVisible(s, s.caret);
        return LB_OKAY;
    case LB_GETANCHORINDEX: return s.caret;
    case LB_GETITEMHEIGHT: return s.itemHeight;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
            return LB_ERR;
        s.itemHeight = LOWORD(lParam);
        trimHeight(s);
        setTop(s, s.top);
        invalidate(s);
        return LB_OKAY;
    case LB_GETITEMRECT: return itemRect(s, wParam, lParam);
    case LB_ITEMFROMPOINT: return itemFromPoint(s, lParam);
    case LB_INITSTORAGE:
        try {
            s.items.reserve(s.items.size() + wParam);
        } catch (const std::exception&) {
            return LB_ERRSPACE;
        }
        return static_cast<LRESULT>(s.items.capacity());
    case LB_GETHORIZONTALEXTENT: return s.horizontalExtent;
    case LB_SETHORIZONTALEXTENT: s.horizontalExtent = static_cast<int>(wParam); return 0;
    case WM_SETFONT: fontChanged(s, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font.font());
    case WM_SETREDRAW:
        s.redraw = wParam != 0;
        if (s.redraw)
            invalidate(s);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        s.focused = true;
        invalidate(s);
        notify(s, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s.focused = false;
        endTracking(s);
        invalidate(s);
        notify(s, LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: return buttonDown(s, lParam, false);
    case WM_LBUTTONDBLCLK: return buttonDown(s, lParam, true);
    case WM_MOUSEMOVE: return mouseMove(s, wParam, lParam);
    case WM_LBUTTONUP: return buttonUp(s, lParam);
    case WM_CAPTURECHANGED:
        s.tracking = ListState::Tracking::None;
        if (s.dropDown && reinterpret_cast<HWND>(lParam) != s.window)
            notify(s, comboListCancelled);
        return 0;
    case WM_MOUSEACTIVATE:
        // A combo box's list never takes the activation or the focus.
        return s.combo ? MA_NOACTIVATE : DefWindowProcA(s.window, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTVSCROLL)
            return scrollBarPress(s, lParam);
        return DefWindowProcA(s.window, message, wParam, lParam);
    case WM_VSCROLL: scrollCommand(s, LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<short>(HIWORD(wParam));
        setTop(s, s.top - delta / wheelNotch * linesPerNotch);
        return 0;
    }
    case WM_KEYDOWN: return keyDown(s, wParam);
    case WM_CHAR: return character(s, wParam);
    case WM_STYLECHANGED:
        if (static_cast<int>(wParam) == GWL_STYLE)
            s.style = reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew;
        return 0;
    case WM_PAINT: paintControl(s.window); return 0;
    case WM_ERASEBKGND: return TRUE;
    default: return DefWindowProcA(s.window, message, wParam, lParam);
    }
}

}

LRESULT CALLBACK listBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return dispatchToState(states(), window, message, wParam, lParam, make, handle);
}

}
