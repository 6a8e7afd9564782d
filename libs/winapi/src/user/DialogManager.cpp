// The dialog manager's keyboard handling: IsDialogMessageA and the tab and
// group order of a dialog's controls.
//
// A key message for a dialog or one of its controls, in order:
//  1. The control's WM_GETDLGCODE decides what it keeps for itself
//     (DLGC_WANTALLKEYS, DLGC_WANTTAB, DLGC_WANTARROWS, DLGC_WANTCHARS).
//  2. Tab and Shift+Tab move the focus over the visible, enabled
//     WS_TABSTOP controls, in z-order (the template's order), wrapping.
//  3. The arrow keys move within a group: from a WS_GROUP control up to
//     the next one; radio buttons are clicked as they get the focus.
//  4. Enter sends WM_COMMAND for the focused push button, else for the
//     default button (DM_GETDEFID), else for IDOK; a disabled button beeps.
//  5. Escape sends WM_COMMAND for IDCANCEL (beeping when that button is disabled).
//  6. A character (with Alt, or one the focused control does not want)
//     chooses the control whose text has it after an ampersand: a static
//     passes the focus to the next control, a button is clicked.
//  7. Everything else is translated and dispatched as usual.
// Every message for the dialog is taken: the function always answers TRUE
// for a message of the dialog or its controls.
#include "user/Dialogs.h"
#include "user/State.h"

#include <cctype>

namespace winapi::user {
namespace {

std::vector<HWND> controlsOf(HWND dialog)
{
    std::vector<HWND> controls;
    std::lock_guard guard(system().lock);
    Window* w = findWindow(dialog);
    if (!w)
        return controls;
    for (const Window* child : w->children)
        controls.push_back(child->handle);
    return controls;
}

DWORD styleOf(HWND window)
{
    std::lock_guard guard(system().lock);
    const Window* w = findWindow(window);
    return w ? w->style : 0;
}

bool usable(HWND window)
{
    const DWORD style = styleOf(window);
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The dialog's direct child that is or holds the window.
HWND directChild(HWND dialog, HWND window)
{
    std::lock_guard guard(system().lock);
    Window* d = findWindow(dialog);
    Window* w = findWindow(window);
    while (w && w->parent && w->parent != d)
        w = w->parent;
    return w && w->parent == d ? w->handle : nullptr;
}

LRESULT dialogCode(HWND control, const MSG* message)
{
    return control ? SendMessageA(control, WM_GETDLGCODE, message ? message->wParam : 0,
               reinterpret_cast<LPARAM>(message))
                   : 0;
}

char mnemonicOf(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

std::string textOf(HWND window)
{
    char buffer[256];
    const int length = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(std::max(length, 0)));
}

bool chooseByMnemonic(HWND dialog, HWND from, char character)
{
    const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(character)));
    if (!wanted)
        return false;
    const std::vector<HWND> controls = controlsOf(dialog);
    if (controls.empty())
        return false;
    const HWND start = directChild(dialog, from);
    const auto at = std::find(controls.begin(), controls.end(), start);
    const std::size_t first = at == controls.end() ? 0 : static_cast<std::size_t>(at - controls.begin()) + 1;
    for (std::size_t step = 0; step < controls.size(); ++step) {
        HWND control = controls[(first + step) % controls.size()];
        if (!usable(control))
            continue;
        const LRESULT code = dialogCode(control, nullptr);
        if ((code & DLGC_STATIC) && (styleOf(control) & SS_NOPREFIX))
            continue;
        if (mnemonicOf(textOf(control)) != wanted)
            continue;
        if (code & DLGC_STATIC) {
            if (HWND next = GetNextDlgTabItem(dialog, control, FALSE))
                dialogSetFocus(dialog, next);
        } else if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            SendMessageA(control, BM_CLICK, 0, 0);
        } else if (code & DLGC_BUTTON) {
            dialogSetFocus(dialog, control);
            SendMessageA(control, BM_CLICK, 0, 0);
        } else {
            dialogSetFocus(dialog, control);
        }
        return true;
    }
    return false;
}

void pressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}

}

using namespace winapi::user;

extern "C" {

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const std::vector<HWND> controls = controlsOf(dialog);
    if (controls.empty())
        return nullptr;
    const std::size_t count = controls.size();
    const HWND from = control ? directChild(dialog, control) : nullptr;
    const auto at = std::find(controls.begin(), controls.end(), from);
    // Without a starting control the search starts beyond the end, so that
    // it finds the first (or, backwards, the last) tab stop.
    std::size_t index = at == controls.end() ? (previous ? 0 : count - 1) : static_cast<std::size_t>(at - controls.begin());
    for (std::size_t step = 0; step < count; ++step) {
        index = previous ? (index + count - 1) % count : (index + 1) % count;
        HWND candidate = controls[index];
        if (candidate == from)
            break;
        const DWORD style = styleOf(candidate);
        if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED))
            return candidate;
    }
    return from;
}

HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    const std::vector<HWND> controls = controlsOf(dialog);
    if (controls.empty())
        return nullptr;
    const HWND from = control ? directChild(dialog, control) : nullptr;
    const auto at = std::find(controls.begin(), controls.end(), from);
    const std::size_t index
        = at == controls.end() ? (previous ? controls.size() - 1 : 0) : static_cast<std::size_t>(at - controls.begin());
    // The group runs from the nearest WS_GROUP control at or before the
    // control up to the next WS_GROUP control.
    std::size_t first = index;
    while (first > 0 && !(styleOf(controls[first]) & WS_GROUP))
        --first;
    std::size_t end = index + 1;
    while (end < controls.size() && !(styleOf(controls[end]) & WS_GROUP))
        ++end;
    const std::size_t size = end - first;
    std::size_t position = index - first;
    for (std::size_t step = 1; step < size; ++step) {
        position = previous ? (position + size - 1) % size : (position + 1) % size;
        HWND candidate = controls[first + position];
        if (usable(candidate))
            return candidate;
    }
    return from;
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message)
{
    if (!message || !IsWindow(dialog))
        return FALSE;
    HWND target = message->hwnd;
    if (target != dialog && !IsChild(dialog, target))
        return FALSE;

    switch (message->message) {
    case WM_KEYDOWN: {
        const LRESULT code = dialogCode(target, message);
        if (code & DLGC_WANTALLKEYS)
            break;
        switch (message->wParam) {
        case VK_TAB: {
            if (code & DLGC_WANTTAB)
                break;
            if (HWND next = GetNextDlgTabItem(dialog, target == dialog ? nullptr : target, GetKeyState(VK_SHIFT) < 0))
                dialogSetFocus(dialog, next);
            return TRUE;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (code & DLGC_WANTARROWS)
                break;
            const bool back = message->wParam == VK_LEFT || message->wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(dialog, target == dialog ? nullptr : target, back);
            if (next && next != target) {
                dialogSetFocus(dialog, next);
                if (dialogCode(next, nullptr) & DLGC_RADIOBUTTON)
                    SendMessageA(next, BM_CLICK, 0, 0);
            }
            return TRUE;
        }
        case VK_RETURN: {
            int id = IDOK;
            if (target != dialog && (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
                id = GetDlgCtrlID(target);
            } else {
                const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
                if (HIWORD(defaultId) == DC_HASDEFID)
                    id = LOWORD(defaultId);
            }
            pressButton(dialog, id);
            return TRUE;
        }
        case VK_ESCAPE: pressButton(dialog, IDCANCEL); return TRUE;
        default: break;
        }
        break;
    }
    case WM_CHAR: {
        const LRESULT code = dialogCode(target, message);
        if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS))
            break;
        if (chooseByMnemonic(dialog, target, static_cast<char>(message->wParam)))
            return TRUE;
        break;
    }
    case WM_SYSCHAR:
        if (chooseByMnemonic(dialog, target, static_cast<char>(message->wParam)))
            return TRUE;
        break;
    default: break;
    }
    TranslateMessage(message);
    DispatchMessageA(message);
    return TRUE;
}

}
