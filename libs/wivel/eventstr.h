// The record of an activation change that a window receives with
// WM_ACTIVATE or WM_MDIACTIVATE, as handed to the activation hooks: which
// window loses and which gains activation, by handle and, for the window
// that built the record, by object.
#pragma once

#include <windows.h>

namespace wivel {

class WindowBase;

struct ActivationEvent {
    UINT message = 0;
    WindowBase* deactivatedWindow = nullptr;
    WindowBase* activatedWindow = nullptr;
    HWND deactivatedHandle = nullptr;
    HWND activatedHandle = nullptr;
    // WM_ACTIVATE: the whole wParam (state in the low word, the minimised
    // flag in the high word). WM_MDIACTIVATE: 1 when the building window is
    // the one activated, else 0.
    UINT state = 0;

    // The record as `window` sees the message; only WM_ACTIVATE and
    // WM_MDIACTIVATE have one.
    ActivationEvent(WindowBase& window, UINT message, WPARAM wParam, LPARAM lParam);

    bool isActivating() const { return LOWORD(state) != 0; }
};

}
