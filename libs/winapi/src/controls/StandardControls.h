// The window procedures of the standard control classes, which the window
// system registers as system classes under their platform names.
#pragma once

#include <windows.h>

namespace winapi::controls {

LRESULT CALLBACK buttonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK staticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK editProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// LISTBOX, and ComboLBox, the list of a combo box.
LRESULT CALLBACK listBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK comboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}
