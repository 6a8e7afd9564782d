// The classes the system registers before any program runs: the desktop
// (#32769), the dialog class (#32770, WC_DIALOG), the drop-down menus
// (#32768) and the standard controls, whose procedures the controls
// concern provides (src/controls/StandardControls.h).
#pragma once

#include <windows.h>

namespace winapi::user {

struct System;

// Called once, while the state object is being built.
void addSystemClasses(System& system);

}
