// The menu bar's modal loop, entered from DefWindowProcA's system commands.
#pragma once

#include <windows.h>

namespace winapi::user {

// Runs the window's menu bar until a command is chosen (and posted as
// WM_COMMAND) or the menu is closed. `mouse`: `how` is the screen point of
// a press on the bar; otherwise `how` is 0 (Alt or F10 alone) or the
// character of Alt and a letter.
void trackMenuBar(HWND window, LPARAM how, bool mouse);

}
