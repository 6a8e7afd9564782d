// Wrappers of the platform's drawing objects: fonts, brushes, pens, bitmaps
// and palettes. A wrapper deletes its platform object when it goes away only
// if it owns it; objects it creates itself it always owns. Bitmaps and
// palettes can go on the clipboard (ClipboardData).
#pragma once

#include "clipboarddata.h"
#include "colour.h"
#include "except.h"
#include "geometry.h"
#include "object.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace wivel {

class GDIObjectException : public WivelException {
public:
    explicit GDIObjectException(const std::string& message);
};

class GDIObject : public Object {
public:
    ~GDIObject() override;
    GDIObject(const GDIObject&) = delete;
    GDIObject& operator=(const GDIObject&) = delete;

    // Equal to another drawing object of the same handle.
    bool equals(const Object* other) const override;
    // Consistent with equality: wrappers of one handle hash alike.
    std::size_t toHash() const override;
    virtual HGDIOBJ handle() const;
    virtual bool equals(const GDIObject* other) const;

    bool owned() const { return m_owned; }

protected:
    // Requires a handle that is not null.
    GDIObject(HGDIOBJ handle, bool owned);
    // ClipboardData for the kinds that have one clipboard format: lent in
    // any format, handed over (ownership and all) only in `transferFormat`.
    HANDLE clipboardHandover(UINT format, bool transfer, UINT transferFormat);

private:
    bool m_owned;
    HGDIOBJ m_handle;
};

class Font : public GDIObject {
public:
    Font(HFONT handle, bool owned);
    // A new font made to the description.
    explicit Font(const LOGFONTA& description);

    // The description, read from the platform on first need when the font
    // was wrapped from a handle.
    virtual LOGFONTA info() const;

private:
    mutable LOGFONTA m_info {};
    mutable bool m_infoKnown = false;
};

class Brush : public GDIObject {
public:
    Brush(HBRUSH handle, bool owned);
    // A new solid brush.
    explicit Brush(Colour colour);
};

class Pen : public GDIObject {
public:
    Pen(HPEN handle, bool owned);
    // A new pen of a PS_ style, a width and a colour.
    Pen(int style, int width, Colour colour);
};

class Bitmap : public GDIObject, public ClipboardData {
public:
    // Reads the bitmap's description once, now.
    Bitmap(HBITMAP handle, bool owned);
    // A new bitmap of the given measures; `bits` may be null.
    Bitmap(std::int32_t width, std::int32_t height, UINT planes, UINT bitsPerPixel, const void* bits);

    virtual std::int32_t width() const;
    virtual std::int32_t height() const;
    virtual Size size() const;
    virtual BITMAP info() const;
    // An owned copy of the same size.
    virtual std::unique_ptr<Bitmap> duplicate() const;
    // With transfer, only CF_BITMAP, and the clipboard takes the bitmap over.
    HANDLE clipboardHandle(UINT format, bool transfer) override;

private:
    BITMAP m_info {};
};

// One palette entry, in the layout of the platform's PALETTEENTRY.
struct PaletteEntry {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;

    constexpr PaletteEntry() = default;
    constexpr PaletteEntry(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t flags)
        : red(red)
        , green(green)
        , blue(blue)
        , flags(flags)
    {
    }
    constexpr PaletteEntry(Colour colour, std::uint8_t flags)
        : PaletteEntry(colour.red(), colour.green(), colour.blue(), flags)
    {
    }

    constexpr Colour colour() const { return Colour(red, green, blue); }

    friend constexpr bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY) && sizeof(PaletteEntry) == 4);

// Entry indices are those of the platform palette. Every read and write of
// entries is checked; a call that reports no entries counts as failed.
class Palette : public GDIObject, public ClipboardData {
public:
    // Takes the entry count from the platform, unchecked.
    Palette(HPALETTE handle, bool owned);
    // A new palette of the entries: at least one and at most 65535 of them.
    explicit Palette(std::span<const PaletteEntry> entries);

    // The palette's colour nearest to `colour`.
    virtual Colour nearestColour(Colour colour) const;
    virtual UINT nearestIndex(Colour colour) const;
    // A new palette of this one's entries.
    virtual std::unique_ptr<Palette> duplicate() const;
    // The entry count as known when the object was made.
    virtual UINT length() const;
    // With transfer, only CF_PALETTE, and the clipboard takes the palette over.
    HANDLE clipboardHandle(UINT format, bool transfer) override;
    virtual PaletteEntry entry(UINT index) const;
    virtual PaletteEntry setEntry(PaletteEntry entry, UINT index);
    // Changes the entry's colour and keeps its flags; yields the entry written.
    virtual PaletteEntry setColour(Colour colour, UINT index);
    virtual std::vector<PaletteEntry> entries() const;
    // The entries from `start` up to `end` (exclusive); `start` after `end`
    // is a range error.
    virtual std::vector<PaletteEntry> entries(UINT start, UINT end) const;
    virtual std::span<const PaletteEntry> setEntries(std::span<const PaletteEntry> entries);
    // Requires exactly end - start entries.
    virtual std::span<const PaletteEntry> setEntries(std::span<const PaletteEntry> entries, UINT start, UINT end);

private:
    UINT m_length;
};

}
