// What the dialog manager keeps for each dialog window: its dialog
// procedure and the values behind DWL_MSGRESULT and DWL_USER, the font and
// base units of its template, the default push button, the focus it
// restores on activation, and how a modal dialog ends.
#pragma once

#include "resources/ResourceTable.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace winapi::user {

struct DialogState {
    DLGPROC procedure { nullptr };
    LRESULT messageResult { 0 };
    LONG_PTR user { 0 };
    HFONT font { nullptr };     // the template's font, or one set later with WM_SETFONT
    bool ownsFont { false };    // the dialog manager made the font and deletes it
    HFONT templateFont { nullptr };
    int baseX { 0 }; // dialog base units of the template's font
    int baseY { 0 };
    WORD defaultId { 0 };
    HWND savedFocus { nullptr };
    bool modal { false };
    bool ended { false };
    INT_PTR result { 0 };
};

// CreateWindowExA with the dialog state attached before the first message,
// so that the dialog procedure sees every message of the new window.
HWND createWindow(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int cx, int cy,
    HWND parent, HMENU menu, HINSTANCE instance, LPVOID parameter, std::unique_ptr<DialogState> dialog);

// Gives a dialog's control the focus as the dialog manager does: an edit
// box's text is selected, and a push button with the focus becomes the
// default one.
void dialogSetFocus(HWND dialog, HWND control);

// Builds a dialog from a parsed template: the window, its font, its items
// in template order, WM_SETFONT and WM_INITDIALOG. Null on failure.
HWND createDialog(const resources::DialogTemplate& dialogTemplate, HINSTANCE instance, HWND parent,
    DLGPROC procedure, LPARAM parameter, bool modal);

// Runs a dialog's modal loop until EndDialog, with its owner disabled,
// then destroys the dialog and returns its result. `onEntry` runs once the
// dialog is up, before the first wait.
INT_PTR runModalDialog(HWND dialog, HWND owner, WPARAM idleSource, const std::function<void()>& onEntry);

// The owner a dialog or message box gets for a given parent: its top-level window.
HWND modalOwnerFor(HWND parent);

}
