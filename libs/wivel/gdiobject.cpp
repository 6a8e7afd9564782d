// Drawing-object wrappers: creation with retries, ownership, bitmap and
// palette access.
#include "gdiobject.h"

#include <cstring>
#include <functional>

namespace wivel {
namespace {

// Makes a new platform object with up to three attempts. Between attempts
// the platform would be given back drawing objects that the program no
// longer uses; here every wrapper deletes its object the moment it goes
// away, so nothing is left to reclaim and the attempts follow one another.
template<typename Create>
HGDIOBJ createObject(Create create, const char* kind)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (const HGDIOBJ made = create())
            return made;
    }
    throw GDIObjectException(std::string("Could not create ") + kind + " - possibly low system resources");
}

PALETTEENTRY toPlatform(const PaletteEntry& entry) { return { entry.red, entry.green, entry.blue, entry.flags }; }

std::vector<PALETTEENTRY> toPlatform(std::span<const PaletteEntry> entries)
{
    std::vector<PALETTEENTRY> platformEntries;
    platformEntries.reserve(entries.size());
    for (const PaletteEntry& entry : entries)
        platformEntries.push_back(toPlatform(entry));
    return platformEntries;
}

HGDIOBJ createPalette(std::span<const PaletteEntry> entries)
{
    require(!entries.empty(), "a new palette has at least one entry");
    // The record counts its entries in 16 bits.
    require(entries.size() <= 0xFFFF, "a new palette has at most 65535 entries");
    // LOGPALETTE: version and count in the first four bytes, then the entries.
    std::vector<std::uint32_t> record(1 + entries.size());
    const WORD header[2] { 0x300, static_cast<WORD>(entries.size()) };
    std::memcpy(record.data(), header, sizeof header);
    const std::vector<PALETTEENTRY> platformEntries = toPlatform(entries);
    std::memcpy(record.data() + 1, platformEntries.data(), platformEntries.size() * sizeof(PALETTEENTRY));
    const auto* logPalette = reinterpret_cast<const LOGPALETTE*>(record.data());
    return createObject([logPalette] { return CreatePalette(logPalette); }, "palette");
}

}

GDIObjectException::GDIObjectException(const std::string& message)
    : WivelException(message)
{
}

// ---- GDIObject ----------------------------------------------------------

GDIObject::GDIObject(HGDIOBJ handle, bool owned)
    : m_owned(owned)
    , m_handle(handle)
{
    require(handle != nullptr, "a drawing object's handle is not null");
}

GDIObject::~GDIObject()
{
    if (m_owned)
        checkRelease(DeleteObject(m_handle) != FALSE, "DeleteObject", "GDIObject.~this");
}

bool GDIObject::equals(const Object* other) const { return equals(dynamic_cast<const GDIObject*>(other)); }

std::size_t GDIObject::toHash() const { return std::hash<HGDIOBJ> {}(m_handle); }

HGDIOBJ GDIObject::handle() const { return m_handle; }

bool GDIObject::equals(const GDIObject* other) const { return other != nullptr && other->handle() == handle(); }

HANDLE GDIObject::clipboardHandover(UINT format, bool transfer, UINT transferFormat)
{
    if (transfer) {
        require(format == transferFormat, "a drawing object is handed over to the clipboard only in its own format");
        m_owned = false;
    }
    return handle();
}

// ---- Font, Brush, Pen ---------------------------------------------------

Font::Font(HFONT handle, bool owned)
    : GDIObject(handle, owned)
{
}

Font::Font(const LOGFONTA& description)
    : GDIObject(createObject([&description] { return CreateFontIndirectA(&description); }, "font"), true)
    , m_info(description)
    , m_infoKnown(true)
{
}

LOGFONTA Font::info() const
{
    if (!m_infoKnown) {
        LOGFONTA description {};
        checkDefinedAPI(GetObjectA(handle(), sizeof description, &description), "GetObjectA", "Font.info");
        m_info = description;
        m_infoKnown = true;
    }
    return m_info;
}

Brush::Brush(HBRUSH handle, bool owned)
    : GDIObject(handle, owned)
{
}

Brush::Brush(Colour colour)
    : GDIObject(createObject([colour] { return CreateSolidBrush(colour.colorRef()); }, "brush"), true)
{
}

Pen::Pen(HPEN handle, bool owned)
    : GDIObject(handle, owned)
{
}

Pen::Pen(int style, int width, Colour colour)
    : GDIObject(createObject([=] { return CreatePen(style, width, colour.colorRef()); }, "pen"), true)
{
}

// ---- Bitmap -------------------------------------------------------------

Bitmap::Bitmap(HBITMAP handle, bool owned)
    : GDIObject(handle, owned)
{
    GetObjectA(handle, sizeof m_info, &m_info);
}

Bitmap::Bitmap(std::int32_t width, std::int32_t height, UINT planes, UINT bitsPerPixel, const void* bits)
    : GDIObject(createObject([=] { return CreateBitmap(width, height, planes, bitsPerPixel, bits); }, "bitmap"),
        true)
{
    GetObjectA(handle(), sizeof m_info, &m_info);
}

std::int32_t Bitmap::width() const { return m_info.bmWidth; }

std::int32_t Bitmap::height() const { return m_info.bmHeight; }

Size Bitmap::size() const { return { width(), height() }; }

BITMAP Bitmap::info() const { return m_info; }

std::unique_ptr<Bitmap> Bitmap::duplicate() const
{
    HANDLE copy = CopyImage(handle(), IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG);
    // The platform may hand back this very bitmap; the copy must have one of
    // its own, or the two owners would delete one bitmap twice.
    if (copy == handle())
        copy = CopyImage(handle(), IMAGE_BITMAP, 0, 0, 0);
    return std::make_unique<Bitmap>(static_cast<HBITMAP>(copy), true);
}

HANDLE Bitmap::clipboardHandle(UINT format, bool transfer) { return clipboardHandover(format, transfer, CF_BITMAP); }

// ---- Palette ------------------------------------------------------------

Palette::Palette(HPALETTE handle, bool owned)
    : GDIObject(handle, owned)
    , m_length(GetPaletteEntries(handle, 0, 0, nullptr))
{
}

Palette::Palette(std::span<const PaletteEntry> entries)
    : GDIObject(createPalette(entries), true)
    , m_length(static_cast<UINT>(entries.size()))
{
}

Colour Palette::nearestColour(Colour colour) const
{
    const UINT index = GetNearestPaletteIndex(static_cast<HPALETTE>(handle()), colour.colorRef());
    checkDefinedAPI(index != CLR_INVALID, "GetNearestColor", "Palette.nearestColour");
    // A failure without a code goes on like a failed entry read: zeroed.
    if (index == CLR_INVALID)
        return Colour();
    return entry(index).colour();
}

UINT Palette::nearestIndex(Colour colour) const
{
    const UINT index = GetNearestPaletteIndex(static_cast<HPALETTE>(handle()), colour.colorRef());
    checkDefinedAPI(index != CLR_INVALID, "GetNearestPaletteIndex", "Palette.nearestIndex");
    return index;
}

std::unique_ptr<Palette> Palette::duplicate() const { return std::make_unique<Palette>(entries()); }

UINT Palette::length() const { return m_length; }

HANDLE Palette::clipboardHandle(UINT format, bool transfer)
{
    return clipboardHandover(format, transfer, CF_PALETTE);
}

PaletteEntry Palette::entry(UINT index) const { return entries(index, index + 1).front(); }

PaletteEntry Palette::setEntry(PaletteEntry entry, UINT index)
{
    const PALETTEENTRY platformEntry = toPlatform(entry);
    checkDefinedAPI(SetPaletteEntries(static_cast<HPALETTE>(handle()), index, 1, &platformEntry),
        "SetPaletteEntries", "Palette.opIndexAssign");
    return entry;
}

PaletteEntry Palette::setColour(Colour colour, UINT index)
{
    return setEntry(PaletteEntry(colour, entry(index).flags), index);
}

std::vector<PaletteEntry> Palette::entries() const { return entries(0, m_length); }

std::vector<PaletteEntry> Palette::entries(UINT start, UINT end) const
{
    requireInRange(start <= end, "a range of palette entries does not end before it starts");
    std::vector<PaletteEntry> result(end - start);
    // Nothing to read; the platform would report zero entries, a failure.
    if (result.empty())
        return result;
    std::vector<PALETTEENTRY> platformEntries(result.size());
    checkDefinedAPI(GetPaletteEntries(static_cast<HPALETTE>(handle()), start, end - start, platformEntries.data()),
        "GetPaletteEntries", "Palette.opSlice");
    for (std::size_t i = 0; i < result.size(); ++i) {
        const PALETTEENTRY& read = platformEntries[i];
        result[i] = PaletteEntry(read.peRed, read.peGreen, read.peBlue, read.peFlags);
    }
    return result;
}

std::span<const PaletteEntry> Palette::setEntries(std::span<const PaletteEntry> entries)
{
    return setEntries(entries, 0, static_cast<UINT>(entries.size()));
}

std::span<const PaletteEntry> Palette::setEntries(std::span<const PaletteEntry> entries, UINT start, UINT end)
{
    require(start <= end && end - start == entries.size(), "a range write has exactly one entry per index");
    if (entries.empty())
        return entries;
    const std::vector<PALETTEENTRY> platformEntries = toPlatform(entries);
    checkDefinedAPI(SetPaletteEntries(static_cast<HPALETTE>(handle()), start, static_cast<UINT>(entries.size()),
                        platformEntries.data()),
        "SetPaletteEntries", "Palette.opSliceAssign");
    return entries;
}

}
