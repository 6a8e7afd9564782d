// How a combo box and its list (a list box of the class ComboLBox, made
// with LBS_COMBOBOX and the combo box as its creation parameter) talk.
#pragma once

#include <windows.h>

namespace winapi::controls {

// Sent by the list to its combo box instead of a notification to a parent:
// wParam the LBN_ code, lParam the list.
constexpr UINT comboListNotification = WM_USER + 0x7F0;

}
