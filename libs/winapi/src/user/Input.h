// Raw input as a device produces it, for the host's injection functions,
// and the US keyboard layout's characters.
#pragma once

#include <windows.h>

#include <array>

namespace winapi::user {

// A key pressed or released; `scanCode` 0 takes the key's own.
void injectKey(UINT key, UINT scanCode, bool down);
// A character that no key of the layout gives, as an input method would.
void injectCharacter(char character);
// A mouse move or button event (client message numbers) at a screen point.
void injectMouse(UINT message, POINT point);

// The character a key gives in a keyboard state, or -1.
int characterFor(UINT key, const std::array<BYTE, 256>& keys);
// The key (and whether Shift is needed) that gives a character.
bool keyForCharacter(char character, UINT& key, bool& shift);

}
