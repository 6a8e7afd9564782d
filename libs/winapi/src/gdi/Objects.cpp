// The calls common to every drawing object (GetStockObject, DeleteObject,
// GetObjectType, GetObjectA), the creation of pens and brushes, and the
// system colours.
#include "gdi/GdiObjects.h"

#include "core/Faults.h"

#include <windows.h>

using namespace winapi;
using namespace winapi::gdi;

namespace {

bool validPenStyle(UINT style)
{
    return (style & PS_STYLE_MASK) <= PS_INSIDEFRAME && (style & ~PS_STYLE_MASK) == 0;
}

template<typename Handle>
Handle insert(std::unique_ptr<GdiObject> object)
{
    std::lock_guard guard(objectLock());
    return static_cast<Handle>(insertObject(std::move(object)));
}

HBRUSH makeBrush(const LOGBRUSH& brush)
{
    return insert<HBRUSH>(std::make_unique<BrushObject>(brush));
}

}

extern "C" {

HGDIOBJ WINAPI GetStockObject(int index)
{
    std::lock_guard guard(objectLock());
    HGDIOBJ object = stockObject(index);
    if (!object)
        SetLastError(ERROR_INVALID_PARAMETER);
    return object;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    if (injectedFailure("DeleteObject"))
        return FALSE;
    std::unique_ptr<GdiObject> removed;
    {
        std::lock_guard guard(objectLock());
        const GdiObject* found = findObject(object);
        if (!found) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (found->stock)
            return TRUE;
        // An object selected into a device context stays until it is
        // deselected; the platform refuses to delete it meanwhile.
        if (found->selections > 0)
            return FALSE;
        removed = removeObject(object);
    }
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ object)
{
    std::lock_guard guard(objectLock());
    const GdiObject* found = findObject(object);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return found->type();
}

int WINAPI GetObjectA(HANDLE object, int size, LPVOID buffer)
{
    if (injectedFailure("GetObjectA"))
        return 0;
    std::lock_guard guard(objectLock());
    const GdiObject* found = findObject(object);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return found->describe(buffer, size);
}

HPEN WINAPI CreatePen(int style, int width, COLORREF colour)
{
    if (injectedFailure("CreatePen"))
        return nullptr;
    const LOGPEN pen { static_cast<UINT>(style), { width, 0 }, colour };
    return CreatePenIndirect(&pen);
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* pen)
{
    if (injectedFailure("CreatePenIndirect"))
        return nullptr;
    if (!pen) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGPEN logPen = *pen;
    // An unknown style draws as a solid line, as the platform's does; a
    // negative width counts by its size. Only the x width is meaningful.
    if (!validPenStyle(logPen.lopnStyle))
        logPen.lopnStyle = PS_SOLID;
    logPen.lopnWidth.x = logPen.lopnWidth.x < 0 ? -logPen.lopnWidth.x : logPen.lopnWidth.x;
    logPen.lopnWidth.y = 0;
    return insert<HPEN>(std::make_unique<PenObject>(logPen));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF colour)
{
    if (injectedFailure("CreateSolidBrush"))
        return nullptr;
    return makeBrush(LOGBRUSH { BS_SOLID, colour & 0x00FFFFFF, 0 });
}

HBRUSH WINAPI CreateHatchBrush(int hatch, COLORREF colour)
{
    if (injectedFailure("CreateHatchBrush"))
        return nullptr;
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return makeBrush(LOGBRUSH { BS_HATCHED, colour & 0x00FFFFFF, static_cast<ULONG_PTR>(hatch) });
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmap)
{
    if (injectedFailure("CreatePatternBrush"))
        return nullptr;
    std::lock_guard guard(objectLock());
    const BitmapObject* source = findBitmap(bitmap);
    if (!source) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto brush = std::make_unique<BrushObject>(LOGBRUSH { BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap) });
    brush->pattern = source->pixels;
    return static_cast<HBRUSH>(insertObject(std::move(brush)));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (injectedFailure("CreateBrushIndirect"))
        return nullptr;
    if (!brush) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (brush->lbStyle) {
    case BS_SOLID:
        return makeBrush(LOGBRUSH { BS_SOLID, brush->lbColor & 0x00FFFFFF, 0 });
    case BS_NULL:
        return makeBrush(LOGBRUSH { BS_NULL, 0, 0 });
    case BS_HATCHED:
        if (brush->lbHatch > HS_DIAGCROSS)
            break;
        return makeBrush(LOGBRUSH { BS_HATCHED, brush->lbColor & 0x00FFFFFF, brush->lbHatch });
    case BS_PATTERN:
    case BS_PATTERN8X8:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    default:
        break;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

DWORD WINAPI GetSysColor(int index)
{
    return systemColour(index);
}

HBRUSH WINAPI GetSysColorBrush(int index)
{
    std::lock_guard guard(objectLock());
    HBRUSH brush = systemColourBrush(index);
    if (!brush)
        SetLastError(ERROR_INVALID_PARAMETER);
    return brush;
}

}
