/* The module's resources: the predefined resource types, finding a
 * resource and reaching its data, and loading strings from string tables.
 * Resources live in the program's one module; a module handle other than
 * GetModuleHandleA(NULL)'s value (or NULL) names no module of ours. */
#ifndef WINAPI_RESOURCES_H
#define WINAPI_RESOURCES_H

#include "winapi/types.h"

#ifdef RC_INVOKED
/* Resource scripts name types by number. */
#define RT_CURSOR 1
#define RT_BITMAP 2
#define RT_ICON 3
#define RT_MENU 4
#define RT_DIALOG 5
#define RT_STRING 6
#define RT_FONTDIR 7
#define RT_FONT 8
#define RT_ACCELERATOR 9
#define RT_RCDATA 10
#define RT_MESSAGETABLE 11
#define RT_GROUP_CURSOR 12
#define RT_GROUP_ICON 14
#define RT_VERSION 16
#define RT_DLGINCLUDE 17
#define RT_PLUGPLAY 19
#define RT_VXD 20
#define RT_ANICURSOR 21
#define RT_ANIICON 22
#define RT_HTML 23
#define RT_MANIFEST 24
#else
#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_FONTDIR MAKEINTRESOURCEA(7)
#define RT_FONT MAKEINTRESOURCEA(8)
#define RT_ACCELERATOR MAKEINTRESOURCEA(9)
#define RT_RCDATA MAKEINTRESOURCEA(10)
#define RT_MESSAGETABLE MAKEINTRESOURCEA(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)
#define RT_DLGINCLUDE MAKEINTRESOURCEA(17)
#define RT_PLUGPLAY MAKEINTRESOURCEA(19)
#define RT_VXD MAKEINTRESOURCEA(20)
#define RT_ANICURSOR MAKEINTRESOURCEA(21)
#define RT_ANIICON MAKEINTRESOURCEA(22)
#define RT_HTML MAKEINTRESOURCEA(23)
#define RT_MANIFEST MAKEINTRESOURCEA(24)

WINAPI_BEGIN_DECLS

/* The resource of that name and type, or NULL (ERROR_RESOURCE_TYPE_NOT_FOUND,
 * ERROR_RESOURCE_NAME_NOT_FOUND, or ERROR_RESOURCE_DATA_NOT_FOUND when the
 * module has no resources). Names and types are MAKEINTRESOURCE values,
 * "#123" texts or names, compared without regard to case. */
HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
/* The resource's data as a handle for LockResource; it stays valid for
 * the life of the program and needs no freeing. */
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
LPVOID WINAPI LockResource(HGLOBAL data);
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
/* Kept for old callers: resources are never freed, so it always returns
 * FALSE. */
BOOL WINAPI FreeResource(HGLOBAL data);

/* Copies string `id` into the buffer as Windows-1252 text, at most
 * bufferMax - 1 characters and a terminating zero, and returns the number
 * of characters copied. 0 when there is no such string
 * (ERROR_RESOURCE_NAME_NOT_FOUND) and, with the last-error code 0, when
 * the string is empty. */
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int bufferMax);

WINAPI_END_DECLS

#endif /* RC_INVOKED */
#endif /* WINAPI_RESOURCES_H */
