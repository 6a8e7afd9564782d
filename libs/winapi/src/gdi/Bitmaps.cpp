// Device-dependent bitmaps: creation with or without initial bits, bitmaps
// compatible with a device, and reading or writing their bits.
#include "gdi/GdiObjects.h"

#include "core/Faults.h"
#include "core/HandleTable.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

using namespace winapi;
using namespace winapi::gdi;

namespace {

constexpr unsigned screenDepth = 32;

// The platform keeps a bitmap in the nearest depth it supports at or above
// the one asked for.
unsigned storedDepth(unsigned bitsPixel)
{
    for (const unsigned depth : { 1u, 4u, 8u, 16u, 24u, 32u }) {
        if (bitsPixel <= depth)
            return depth;
    }
    return 0;
}

HBITMAP makeBitmap(int width, int height, unsigned depth, const void* bits)
{
    if (width < 0 || height < 0 || depth == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard guard(objectLock());
    // An empty size gives the one 1-by-1 monochrome bitmap, as documented.
    if (width == 0 || height == 0)
        return defaultBitmap();
    std::optional<Pixmap> pixels = Pixmap::make(width, height, depth);
    if (!pixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (bits)
        std::memcpy(pixels->bits().data(), bits, pixels->bits().size());
    return createBitmapObject(std::move(*pixels));
}

}

namespace winapi::gdi {

unsigned compatibleDepth(HDC dc)
{
    // Until device contexts have formats of their own, every device context
    // is the screen's kind.
    if (dc == nullptr || isHandleOfKind(dc, HandleKind::DeviceContext))
        return screenDepth;
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

}

extern "C" {

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (injectedFailure("CreateBitmap"))
        return nullptr;
    const std::uint64_t total = std::uint64_t { planes } * bitsPerPixel;
    if (planes == 0 || bitsPerPixel == 0 || total > 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return makeBitmap(width, height, storedDepth(static_cast<unsigned>(total)), bits);
}

HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* bitmap)
{
    if (injectedFailure("CreateBitmapIndirect"))
        return nullptr;
    if (!bitmap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateBitmap(bitmap->bmWidth, bitmap->bmHeight, bitmap->bmPlanes, bitmap->bmBitsPixel, bitmap->bmBits);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height)
{
    if (injectedFailure("CreateCompatibleBitmap"))
        return nullptr;
    const unsigned depth = compatibleDepth(dc);
    if (depth == 0)
        return nullptr;
    return makeBitmap(width, height, depth, nullptr);
}

LONG WINAPI GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits)
{
    if (injectedFailure("GetBitmapBits"))
        return 0;
    std::lock_guard guard(objectLock());
    const BitmapObject* found = findBitmap(bitmap);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::vector<BYTE>& storage = found->pixels.bits();
    if (!bits)
        return static_cast<LONG>(storage.size());
    const std::size_t count = std::min(storage.size(), static_cast<std::size_t>(std::max<LONG>(size, 0)));
    std::memcpy(bits, storage.data(), count);
    return static_cast<LONG>(count);
}

LONG WINAPI SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits)
{
    if (injectedFailure("SetBitmapBits"))
        return 0;
    std::lock_guard guard(objectLock());
    BitmapObject* found = findBitmap(bitmap);
    if (!found || found->stock) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!bits) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<BYTE>& storage = found->pixels.bits();
    const std::size_t count = std::min<std::size_t>(storage.size(), size);
    std::memcpy(storage.data(), bits, count);
    return static_cast<LONG>(count);
}

}
