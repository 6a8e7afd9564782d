/* SHELL32: opening a document or address with the shell's default action. */
#ifndef WINAPI_SHELLAPI_H
#define WINAPI_SHELLAPI_H

#include <windows.h>

#ifndef RC_INVOKED
WINAPI_BEGIN_DECLS
HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
    INT showCommand);
WINAPI_END_DECLS
#endif

#endif /* WINAPI_SHELLAPI_H */
