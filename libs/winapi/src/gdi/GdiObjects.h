// The store of drawing objects: one generation-counted handle table for
// pens, brushes, fonts, bitmaps and palettes (and the kinds that device
// contexts add later), guarded by one lock. The stock objects and the
// system colour brushes live in the same table, marked so that deleting
// them does nothing. Other concerns of the layer (icons, the clipboard,
// device contexts) reach the objects through this header, always with
// the lock held.
#pragma once

#include "gdi/Pixmap.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

namespace winapi::gdi {

class GdiObject {
public:
    explicit GdiObject(DWORD type)
        : m_type(type)
    {
    }
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    // The OBJ_ value that GetObjectType answers.
    DWORD type() const { return m_type; }
    // GetObjectA: with a buffer, copies the description and returns the
    // bytes copied, or 0 when the buffer is too small for it; without one,
    // returns the size of the description.
    virtual int describe(void* buffer, int size) const = 0;

    // Stock objects are never deleted; DeleteObject reports success.
    bool stock { false };
    // How many device contexts have the object selected. A selected object
    // cannot be deleted (DeleteObject fails), so a device context may hold
    // a plain pointer to it while it is selected.
    unsigned selections { 0 };

private:
    DWORD m_type;
};

class PenObject final : public GdiObject {
public:
    explicit PenObject(const LOGPEN& pen)
        : GdiObject(OBJ_PEN)
        , logPen(pen)
    {
    }
    int describe(void* buffer, int size) const override;
    LOGPEN logPen;
};

class BrushObject final : public GdiObject {
public:
    explicit BrushObject(const LOGBRUSH& brush)
        : GdiObject(OBJ_BRUSH)
        , logBrush(brush)
    {
    }
    int describe(void* buffer, int size) const override;
    LOGBRUSH logBrush;
    // A pattern brush keeps its own copy of the pattern, so that the
    // bitmap it was made from may be deleted at once.
    std::optional<Pixmap> pattern;
};

class FontObject final : public GdiObject {
public:
    explicit FontObject(const LOGFONTA& font)
        : GdiObject(OBJ_FONT)
        , logFont(font)
    {
    }
    int describe(void* buffer, int size) const override;
    LOGFONTA logFont;
};

class BitmapObject final : public GdiObject {
public:
    explicit BitmapObject(Pixmap pixmap)
        : GdiObject(OBJ_BITMAP)
        , pixels(std::move(pixmap))
    {
    }
    int describe(void* buffer, int size) const override;
    BITMAP description() const;
    Pixmap pixels;
};

class PaletteObject final : public GdiObject {
public:
    explicit PaletteObject(std::vector<PALETTEENTRY> paletteEntries)
        : GdiObject(OBJ_PAL)
        , entries(std::move(paletteEntries))
    {
    }
    int describe(void* buffer, int size) const override;
    std::vector<PALETTEENTRY> entries;
};

// The one lock of the store. Every function below expects it held.
std::mutex& objectLock();

GdiObject* findObject(const void* handle);
template<typename T>
T* findObjectOf(const void* handle, DWORD type)
{
    GdiObject* object = findObject(handle);
    return object && object->type() == type ? static_cast<T*>(object) : nullptr;
}
inline BitmapObject* findBitmap(const void* handle) { return findObjectOf<BitmapObject>(handle, OBJ_BITMAP); }
inline PaletteObject* findPalette(const void* handle) { return findObjectOf<PaletteObject>(handle, OBJ_PAL); }
inline FontObject* findFont(const void* handle) { return findObjectOf<FontObject>(handle, OBJ_FONT); }
inline BrushObject* findBrush(const void* handle) { return findObjectOf<BrushObject>(handle, OBJ_BRUSH); }
inline PenObject* findPen(const void* handle) { return findObjectOf<PenObject>(handle, OBJ_PEN); }

// Stores a new object and returns its handle, or NULL with
// ERROR_NO_SYSTEM_RESOURCES when the table is full.
HGDIOBJ insertObject(std::unique_ptr<GdiObject> object);
// Takes a non-stock, unselected object out of the table.
std::unique_ptr<GdiObject> removeObject(const void* handle);

// The stock object of a GetStockObject index, or NULL.
HGDIOBJ stockObject(int index);
// The 1-by-1 monochrome bitmap that a new memory device context holds and
// that CreateCompatibleBitmap answers for an empty size. Stock as well.
HBITMAP defaultBitmap();
// The brush of a system colour index (GetSysColorBrush), or NULL.
HBRUSH systemColourBrush(int index);
// The classic scheme's colour of a system colour index (0 for none).
COLORREF systemColour(int index);
bool isSystemColourIndex(int index);

// Live objects that are not stock, for leak checks in tests.
std::size_t liveObjectCount();

// The colour depth of bitmaps compatible with a device context: the
// screen's for NULL; 0, with ERROR_INVALID_HANDLE, for a handle that is
// no device context.
unsigned compatibleDepth(HDC dc);

// Makes a bitmap object from pixels; NULL with the code set on failure.
HBITMAP createBitmapObject(Pixmap pixels);

}
