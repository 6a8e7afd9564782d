/* SHELL32: opening a document or address with the shell's default action. */
#ifndef WINAPI_SHELLAPI_H
#define WINAPI_SHELLAPI_H

#include <windows.h>

/* ShellExecuteA's results of 32 and below. */
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

#ifndef RC_INVOKED
WINAPI_BEGIN_DECLS
HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
    INT showCommand);
WINAPI_END_DECLS
#endif

#endif /* WINAPI_SHELLAPI_H */
