// Logical fonts: CreateFontIndirectA keeps the description as given (it
// is what GetObjectA answers); the font engine turns it into a face when
// the font is first measured or drawn.
#include "gdi/GdiObjects.h"

#include "core/Faults.h"

#include <windows.h>

#include <cstring>

using namespace winapi;
using namespace winapi::gdi;

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* font)
{
    if (injectedFailure("CreateFontIndirectA"))
        return nullptr;
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTA logFont = *font;
    // A face name that fills the field has no terminator of its own.
    logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    std::lock_guard guard(objectLock());
    return static_cast<HFONT>(insertObject(std::make_unique<FontObject>(logFont)));
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
    DWORD pitchAndFamily, LPCSTR faceName)
{
    if (injectedFailure("CreateFontA"))
        return nullptr;
    LOGFONTA font {};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName)
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

}
