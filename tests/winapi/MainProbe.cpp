// A program on the layer's own entry point. WinMain must get the module
// handle, no previous instance, the arguments after the program's name as
// one line and SW_SHOWDEFAULT, with the program's resources already handed
// to the layer; the exit code says what was wrong.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    if (instance != GetModuleHandleA(nullptr))
        return 2;
    if (previous)
        return 3;
    if (std::strcmp(commandLine, "one \"two words\" three") != 0)
        return 4;
    if (showCommand != SW_SHOWDEFAULT)
        return 5;
    if (!FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_DIALOG))
        return 6;
    return 0;
}
