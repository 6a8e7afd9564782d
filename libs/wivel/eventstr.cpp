// Building the activation record from the message's parameters.
#include "eventstr.h"

#include "except.h"
#include "windowbase.h"

namespace wivel {

ActivationEvent::ActivationEvent(WindowBase& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND other = reinterpret_cast<HWND>(lParam);
    if (message == WM_ACTIVATE) {
        this->message = WM_ACTIVATE;
        state = static_cast<UINT>(wParam);
        if (LOWORD(wParam) == WA_INACTIVE) {
            deactivatedHandle = window.handle();
            deactivatedWindow = &window;
            activatedHandle = other;
        } else {
            deactivatedHandle = other;
            activatedHandle = window.handle();
            activatedWindow = &window;
        }
        return;
    }
    require(message == WM_MDIACTIVATE, "an activation record is built from WM_ACTIVATE or WM_MDIACTIVATE");
    this->message = WM_MDIACTIVATE;
    deactivatedHandle = reinterpret_cast<HWND>(wParam);
    activatedHandle = other;
    if (other == window.handle()) {
        state = 1;
        activatedWindow = &window;
    } else {
        deactivatedWindow = &window;
    }
}

}
