// The classes the system registers before any program runs: the desktop
// (#32769), the dialog class (#32770, WC_DIALOG) and the standard controls.
// The controls start with a placeholder procedure that behaves like
// DefWindowProcA; the controls concern installs the real ones through
// installSystemClass.
#pragma once

#include <windows.h>

namespace winapi::user {

struct System;

// Called once, while the state object is being built.
void addSystemClasses(System& system);

struct SystemClassDescription {
    const char* name { nullptr }; // one of the standard control class names
    UINT style { 0 };
    WNDPROC procedure { nullptr };
    int windowExtra { 0 };
    HCURSOR cursor { nullptr };
    HBRUSH background { nullptr };
};

// Replaces the description of a standard control class; windows created
// afterwards use it. False for a name that is not a system class.
bool installSystemClass(const SystemClassDescription& description);

}
