/* USER32: the clipboard. One thread at a time holds it open; the window
 * that last emptied it is its owner. Standard formats hold movable global
 * memory blocks or drawing objects that the clipboard frees when it is next
 * emptied; the two application-defined ranges hold handles that it never
 * frees. Formats registered by name start at 0xC000. */
#ifndef WINAPI_CLIPBOARD_H
#define WINAPI_CLIPBOARD_H

#include "winapi/types.h"

/* Standard clipboard formats. */
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_METAFILEPICT 3
#define CF_SYLK 4
#define CF_DIF 5
#define CF_TIFF 6
#define CF_OEMTEXT 7
#define CF_DIB 8
#define CF_PALETTE 9
#define CF_PENDATA 10
#define CF_RIFF 11
#define CF_WAVE 12
#define CF_UNICODETEXT 13
#define CF_ENHMETAFILE 14
#define CF_HDROP 15
#define CF_LOCALE 16
#define CF_DIBV5 17
#define CF_MAX 18
#define CF_OWNERDISPLAY 0x0080
#define CF_DSPTEXT 0x0081
#define CF_DSPBITMAP 0x0082
#define CF_DSPMETAFILEPICT 0x0083
#define CF_DSPENHMETAFILE 0x008E
/* Application-defined formats whose handles the clipboard never frees:
 * private handles of any kind, and memory blocks that stand for drawing
 * objects of the application's own. */
#define CF_PRIVATEFIRST 0x0200
#define CF_PRIVATELAST 0x02FF
#define CF_GDIOBJFIRST 0x0300
#define CF_GDIOBJLAST 0x03FF

#ifndef RC_INVOKED

WINAPI_BEGIN_DECLS

BOOL WINAPI OpenClipboard(HWND newOwner);
BOOL WINAPI CloseClipboard(void);
BOOL WINAPI EmptyClipboard(void);
HANDLE WINAPI SetClipboardData(UINT format, HANDLE data);
HANDLE WINAPI GetClipboardData(UINT format);
int WINAPI CountClipboardFormats(void);
UINT WINAPI EnumClipboardFormats(UINT format);
BOOL WINAPI IsClipboardFormatAvailable(UINT format);
int WINAPI GetPriorityClipboardFormat(UINT* formats, int count);
HWND WINAPI GetClipboardOwner(void);
HWND WINAPI GetOpenClipboardWindow(void);
UINT WINAPI RegisterClipboardFormatA(LPCSTR name);
int WINAPI GetClipboardFormatNameA(UINT format, LPSTR buffer, int size);
DWORD WINAPI GetClipboardSequenceNumber(void);

WINAPI_END_DECLS

#define RegisterClipboardFormat RegisterClipboardFormatA
#define GetClipboardFormatName GetClipboardFormatNameA

#endif /* RC_INVOKED */
#endif /* WINAPI_CLIPBOARD_H */
