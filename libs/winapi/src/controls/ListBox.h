// How a combo box and its list (a list box of the class ComboLBox, made
// with LBS_COMBOBOX and the combo box as its creation parameter) talk.
#pragma once

#include <windows.h>

namespace winapi::controls {

// Sent by the list to its combo box instead of a notification to a parent:
// wParam the LBN_ code or one of the two below, lParam the list.
constexpr UINT comboListNotification = WM_USER + 0x7F0;
// A drop-down list's own news: the mouse was let go over a line, or
// pressed outside the list (or the list lost the mouse).
constexpr WORD comboListChosen = 0x100;
constexpr WORD comboListCancelled = 0x101;

}
