// Logical palettes: creation from a LOGPALETTE record, reading and writing
// ranges of entries, and the nearest entry to a colour.
#include "gdi/GdiObjects.h"

#include "core/Faults.h"

#include <windows.h>

#include <algorithm>
#include <climits>

using namespace winapi;
using namespace winapi::gdi;

extern "C" {

HPALETTE WINAPI CreatePalette(const LOGPALETTE* palette)
{
    if (injectedFailure("CreatePalette"))
        return nullptr;
    // palVersion is not checked: every record in use carries 0x300.
    if (!palette || palette->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<PALETTEENTRY> entries(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
    std::lock_guard guard(objectLock());
    return static_cast<HPALETTE>(insertObject(std::make_unique<PaletteObject>(std::move(entries))));
}

UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries)
{
    if (injectedFailure("GetPaletteEntries"))
        return 0;
    std::lock_guard guard(objectLock());
    const PaletteObject* found = findPalette(palette);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const auto size = static_cast<UINT>(found->entries.size());
    if (!entries)
        return size;
    // A range that starts past the end copies nothing; the code tells the
    // caller why, where the platform would leave it unchanged.
    if (start >= size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const UINT copied = std::min(count, size - start);
    std::copy_n(found->entries.begin() + start, copied, entries);
    return copied;
}

UINT WINAPI SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries)
{
    if (injectedFailure("SetPaletteEntries"))
        return 0;
    std::lock_guard guard(objectLock());
    PaletteObject* found = findPalette(palette);
    // The default palette is shared by every device context: it stays as is.
    if (!found || found->stock) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const auto size = static_cast<UINT>(found->entries.size());
    if (!entries || start >= size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const UINT written = std::min(count, size - start);
    std::copy_n(entries, written, found->entries.begin() + start);
    return written;
}

UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF colour)
{
    if (injectedFailure("GetNearestPaletteIndex"))
        return CLR_INVALID;
    std::lock_guard guard(objectLock());
    const PaletteObject* found = findPalette(palette);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    UINT best = 0;
    long bestDistance = LONG_MAX;
    for (UINT i = 0; i < found->entries.size(); ++i) {
        const PALETTEENTRY& entry = found->entries[i];
        const long red = entry.peRed - GetRValue(colour);
        const long green = entry.peGreen - GetGValue(colour);
        const long blue = entry.peBlue - GetBValue(colour);
        const long distance = red * red + green * green + blue * blue;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}
