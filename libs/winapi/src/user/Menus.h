// What the rest of the window system asks of the menu store.
#pragma once

#include <windows.h>

namespace winapi::user {

// Lock held. Whether a menu holds an item with the command (in it or in
// its submenus); `popup` is then the submenu of the menu bar that holds
// it (null when the menu itself does) and `position` that submenu's place.
bool menuHasCommand(HMENU menu, UINT command, HMENU& popup, int& position);

}
