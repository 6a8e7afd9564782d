// The BUTTON class: push and default push buttons, check boxes (two- and
// three-state, plain and automatic), radio buttons (plain and automatic)
// and group boxes.
//
// A click, in order:
//  1. A press of the left button (or of Space while the button has the
//     focus) pushes the button in; moving the mouse off it lets it out.
//  2. The release over the button (or of Space) is the click: an automatic
//     check box changes its state (0, 1 and for three states 2, in turn),
//     an automatic radio button checks itself and unchecks the other radio
//     buttons of its group (from the WS_GROUP sibling before it to the next).
//  3. The parent then receives BN_CLICKED.
// BM_CLICK is a press and release of the left button. A double click is a
// second press, except that radio buttons and BS_NOTIFY buttons report it
// as BN_DOUBLECLICKED. The dialog manager clicks buttons with Enter and
// mnemonics and moves the default-button style with BM_SETSTYLE.
//
// Painting is the seam where the button will be drawn once device contexts
// exist.
#include "controls/ControlSupport.h"
#include "controls/StandardControls.h"

#include <algorithm>
#include <vector>

namespace winapi::controls {
namespace {

struct ButtonState {
    HWND window { nullptr };
    FontMetrics font;
    int check { BST_UNCHECKED };
    bool pushed { false };
    bool focused { false };
    bool tracking { false }; // the mouse holds the button
    bool spaceDown { false };
    HANDLE image { nullptr };
};

StateTable<ButtonState>& states()
{
    static StateTable<ButtonState> table;
    return table;
}

DWORD typeOf(HWND window)
{
    return styleOf(window) & BS_TYPEMASK;
}

bool isCheckBox(DWORD type)
{
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE;
}

bool isRadio(DWORD type)
{
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool isThreeState(DWORD type)
{
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

void invalidate(const ButtonState& s)
{
    InvalidateRect(s.window, nullptr, FALSE);
}

void setCheck(ButtonState& s, WPARAM wanted)
{
    const DWORD type = typeOf(s.window);
    if (!isCheckBox(type) && !isRadio(type))
        return;
    // A two-state button knows only checked and unchecked.
    const int state = isThreeState(type) ? static_cast<int>(std::min<WPARAM>(wanted, BST_INDETERMINATE))
                                         : (wanted ? BST_CHECKED : BST_UNCHECKED);
    // The checked radio button of a group is the one Tab stops at.
    if (isRadio(type))
        changeStyle(s.window, state ? WS_TABSTOP : 0, state ? 0 : WS_TABSTOP);
    if (state != s.check) {
        s.check = state;
        invalidate(s);
    }
}

// The siblings of a radio button's group, the button included.
std::vector<HWND> groupOf(HWND button)
{
    HWND first = button;
    while (!(styleOf(first) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous)
            break;
        first = previous;
    }
    std::vector<HWND> group { first };
    for (HWND next = GetWindow(first, GW_HWNDNEXT); next && !(styleOf(next) & WS_GROUP); next = GetWindow(next, GW_HWNDNEXT))
        group.push_back(next);
    return group;
}

// Steps 2 and 3.
void click(ButtonState& s)
{
    const HWND window = s.window;
    const DWORD type = typeOf(window);
    switch (type) {
    case BS_AUTOCHECKBOX: setCheck(s, s.check ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: setCheck(s, static_cast<WPARAM>((s.check + 1) % 3)); break;
    case BS_AUTORADIOBUTTON:
        setCheck(s, BST_CHECKED);
        for (HWND other : groupOf(window)) {
            if (other != window && (SendMessageA(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
                SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        break;
    case BS_GROUPBOX: return;
    default: break;
    }
    notifyParent(window, BN_CLICKED);
}

LRESULT dialogCode(HWND window)
{
    const DWORD type = typeOf(window);
    if (type == BS_DEFPUSHBUTTON)
        return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    if (type == BS_GROUPBOX)
        return DLGC_STATIC;
    if (isRadio(type))
        return DLGC_BUTTON | DLGC_RADIOBUTTON;
    if (isCheckBox(type))
        return DLGC_BUTTON;
    return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
}

bool inside(HWND window, LPARAM lParam)
{
    RECT client {};
    GetClientRect(window, &client);
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

LRESULT buttonDown(ButtonState& s, bool twice)
{
    const DWORD type = typeOf(s.window);
    if (type == BS_GROUPBOX)
        return 0;
    if (twice && (isRadio(type) || (styleOf(s.window) & BS_NOTIFY))) {
        notifyParent(s.window, BN_DOUBLECLICKED);
        return 0;
    }
    if (!s.focused)
        SetFocus(s.window);
    s.tracking = true;
    s.pushed = true;
    SetCapture(s.window);
    invalidate(s);
    return 0;
}

LRESULT buttonUp(ButtonState& s, LPARAM lParam)
{
    if (!s.tracking)
        return 0;
    s.tracking = false;
    const bool over = inside(s.window, lParam);
    s.pushed = false;
    invalidate(s);
    ReleaseCapture();
    if (over)
        click(s);
    return 0;
}

LRESULT keyUp(ButtonState& s, WPARAM key)
{
    if (key != VK_SPACE || !s.spaceDown)
        return 0;
    s.spaceDown = false;
    s.pushed = false;
    invalidate(s);
    click(s);
    return 0;
}

std::unique_ptr<ButtonState> make(HWND window, const CREATESTRUCTA*)
{
    auto state = std::make_unique<ButtonState>();
    state->window = window;
    return state;
}

LRESULT handle(ButtonState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case BM_GETCHECK: {
        const DWORD type = typeOf(s.window);
        return isCheckBox(type) || isRadio(type) ? s.check : BST_UNCHECKED;
    }
    case BM_SETCHECK: setCheck(s, wParam); return 0;
    case BM_GETSTATE: {
        const DWORD type = typeOf(s.window);
        const LRESULT check = isCheckBox(type) || isRadio(type) ? s.check : 0;
        return check | (s.pushed ? BST_PUSHED : 0) | (s.focused ? BST_FOCUS : 0);
    }
    case BM_SETSTATE:
        if (s.pushed != (wParam != 0)) {
            s.pushed = wParam != 0;
            invalidate(s);
        }
        return 0;
    case BM_SETSTYLE:
        changeStyle(s.window, static_cast<DWORD>(wParam) & BS_TYPEMASK, BS_TYPEMASK & ~static_cast<DWORD>(wParam));
        if (LOWORD(lParam))
            invalidate(s);
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(s.window)) {
            const HWND window = s.window;
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageA(window, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s.image);
    case BM_SETIMAGE: {
        HANDLE previous = s.image;
        s.image = reinterpret_cast<HANDLE>(lParam);
        invalidate(s);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETDLGCODE: return dialogCode(s.window);
    case WM_NCHITTEST:
        if (typeOf(s.window) == BS_GROUPBOX)
            return HTTRANSPARENT;
        return DefWindowProcA(s.window, message, wParam, lParam);
    case WM_LBUTTONDOWN: return buttonDown(s, false);
    case WM_LBUTTONDBLCLK: return buttonDown(s, true);
    case WM_MOUSEMOVE:
        if (s.tracking && s.pushed != inside(s.window, lParam)) {
            s.pushed = !s.pushed;
            invalidate(s);
        }
        return 0;
    case WM_LBUTTONUP: return buttonUp(s, lParam);
    case WM_CAPTURECHANGED:
        if (s.tracking) {
            s.tracking = false;
            s.pushed = false;
            invalidate(s);
        }
        return 0;
    case WM_KEYDOWN:
        // A held key repeats; only its first press pushes.
        if (wParam == VK_SPACE && !(lParam & (1 << 30)) && typeOf(s.window) != BS_GROUPBOX) {
            s.spaceDown = true;
            s.pushed = true;
            invalidate(s);
        }
        return 0;
    case WM_KEYUP: return keyUp(s, wParam);
    case WM_SETFOCUS:
        s.focused = true;
        invalidate(s);
        if (styleOf(s.window) & BS_NOTIFY)
            notifyParent(s.window, BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS: {
        s.focused = false;
        s.spaceDown = false;
        if (s.tracking) {
            s.tracking = false;
            ReleaseCapture();
        }
        s.pushed = false;
        invalidate(s);
        if (styleOf(s.window) & BS_NOTIFY)
            notifyParent(s.window, BN_KILLFOCUS);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(s.window, message, wParam, lParam);
        invalidate(s);
        return result;
    }
    case WM_ENABLE: invalidate(s); return 0;
    case WM_SETFONT:
        s.font.select(reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam))
            invalidate(s);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font.font());
    case WM_PAINT: paintControl(s.window); return 0;
    case WM_ERASEBKGND: return TRUE;
    default: return DefWindowProcA(s.window, message, wParam, lParam);
    }
}

}

LRESULT CALLBACK buttonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return dispatchToState(states(), window, message, wParam, lParam, make, handle);
}

}
