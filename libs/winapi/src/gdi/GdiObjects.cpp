// The drawing-object store: its handle table and lock, the stock objects,
// the system colour brushes of the classic colour scheme, and what each
// kind of object tells GetObjectA.
#include "gdi/GdiObjects.h"

#include "core/HandleTable.h"

#include <winapi/host.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace winapi::gdi {
namespace {

// The classic colour scheme, by system colour index. Index 25 has no
// colour of its own.
constexpr std::array<COLORREF, 31> classicScheme = {
    RGB(192, 192, 192), // COLOR_SCROLLBAR
    RGB(0, 128, 128), // COLOR_BACKGROUND
    RGB(0, 0, 128), // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(192, 192, 192), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0), // COLOR_WINDOWFRAME
    RGB(0, 0, 0), // COLOR_MENUTEXT
    RGB(0, 0, 0), // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128), // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0), // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0), // COLOR_3DDKSHADOW
    RGB(192, 192, 192), // COLOR_3DLIGHT
    RGB(0, 0, 0), // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0), // (no colour)
    RGB(0, 0, 128), // COLOR_HOTLIGHT
    RGB(16, 132, 208), // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128), // COLOR_MENUHILIGHT
    RGB(192, 192, 192), // COLOR_MENUBAR
};

// The twenty static colours of the default palette.
constexpr std::array<PALETTEENTRY, 20> defaultPaletteEntries = { {
    { 0x00, 0x00, 0x00, 0 }, { 0x80, 0x00, 0x00, 0 }, { 0x00, 0x80, 0x00, 0 }, { 0x80, 0x80, 0x00, 0 },
    { 0x00, 0x00, 0x80, 0 }, { 0x80, 0x00, 0x80, 0 }, { 0x00, 0x80, 0x80, 0 }, { 0xC0, 0xC0, 0xC0, 0 },
    { 0xC0, 0xDC, 0xC0, 0 }, { 0xA6, 0xCA, 0xF0, 0 }, { 0xFF, 0xFB, 0xF0, 0 }, { 0xA0, 0xA0, 0xA4, 0 },
    { 0x80, 0x80, 0x80, 0 }, { 0xFF, 0x00, 0x00, 0 }, { 0x00, 0xFF, 0x00, 0 }, { 0xFF, 0xFF, 0x00, 0 },
    { 0x00, 0x00, 0xFF, 0 }, { 0xFF, 0x00, 0xFF, 0 }, { 0x00, 0xFF, 0xFF, 0 }, { 0xFF, 0xFF, 0xFF, 0 },
} };

LOGFONTA stockFont(LONG height, LONG width, LONG weight, BYTE charSet, BYTE pitchAndFamily, const char* face)
{
    LOGFONTA font {};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfCharSet = charSet;
    font.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

class Store {
public:
    Store()
    {
        const auto brush = [](COLORREF colour, UINT style = BS_SOLID) {
            return std::make_unique<BrushObject>(LOGBRUSH { style, colour, 0 });
        };
        const auto pen = [](COLORREF colour, UINT style = PS_SOLID) {
            return std::make_unique<PenObject>(LOGPEN { style, { 0, 0 }, colour });
        };
        const auto font = [](const LOGFONTA& logFont) { return std::make_unique<FontObject>(logFont); };

        addStock(WHITE_BRUSH, brush(RGB(255, 255, 255)));
        addStock(LTGRAY_BRUSH, brush(RGB(192, 192, 192)));
        addStock(GRAY_BRUSH, brush(RGB(128, 128, 128)));
        addStock(DKGRAY_BRUSH, brush(RGB(64, 64, 64)));
        addStock(BLACK_BRUSH, brush(RGB(0, 0, 0)));
        addStock(NULL_BRUSH, brush(RGB(0, 0, 0), BS_NULL));
        addStock(WHITE_PEN, pen(RGB(255, 255, 255)));
        addStock(BLACK_PEN, pen(RGB(0, 0, 0)));
        addStock(NULL_PEN, pen(RGB(0, 0, 0), PS_NULL));
        addStock(OEM_FIXED_FONT, font(stockFont(12, 8, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal")));
        addStock(ANSI_FIXED_FONT,
            font(stockFont(12, 9, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier")));
        addStock(ANSI_VAR_FONT,
            font(stockFont(12, 0, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif")));
        addStock(SYSTEM_FONT, font(stockFont(16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System")));
        addStock(DEVICE_DEFAULT_FONT,
            font(stockFont(16, 0, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System")));
        addStock(DEFAULT_PALETTE,
            std::make_unique<PaletteObject>(
                std::vector<PALETTEENTRY>(defaultPaletteEntries.begin(), defaultPaletteEntries.end())));
        addStock(SYSTEM_FIXED_FONT,
            font(stockFont(15, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys")));
        addStock(DEFAULT_GUI_FONT,
            font(stockFont(-11, 0, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg")));
        addStock(DC_BRUSH, brush(RGB(255, 255, 255)));
        addStock(DC_PEN, pen(RGB(0, 0, 0)));

        defaultBitmapHandle = insertStock(std::make_unique<BitmapObject>(*Pixmap::make(1, 1, 1)));
        for (int index = 0; index < static_cast<int>(classicScheme.size()); ++index) {
            if (isSystemColourIndex(index))
                colourBrushes[index] = insertStock(brush(classicScheme[index]));
        }
    }

    HandleTable<GdiObject> table { HandleKind::GdiObject };
    std::array<std::uint32_t, STOCK_LAST + 1> stock {};
    std::array<std::uint32_t, classicScheme.size()> colourBrushes {};
    std::uint32_t defaultBitmapHandle { 0 };

private:
    std::uint32_t insertStock(std::unique_ptr<GdiObject> object)
    {
        object->stock = true;
        return table.insert(std::move(object));
    }
    void addStock(int index, std::unique_ptr<GdiObject> object) { stock[index] = insertStock(std::move(object)); }
};

Store& store()
{
    static Store instance;
    return instance;
}

// Copies a fixed-size description: the platform refuses a buffer that
// cannot hold all of it.
template<typename Record>
int describeRecord(const Record& record, void* buffer, int size)
{
    if (!buffer)
        return static_cast<int>(sizeof(Record));
    if (size < static_cast<int>(sizeof(Record)))
        return 0;
    std::memcpy(buffer, &record, sizeof(Record));
    return static_cast<int>(sizeof(Record));
}

}

std::mutex& objectLock()
{
    static std::mutex lock;
    return lock;
}

int PenObject::describe(void* buffer, int size) const
{
    return describeRecord(logPen, buffer, size);
}

int BrushObject::describe(void* buffer, int size) const
{
    return describeRecord(logBrush, buffer, size);
}

int FontObject::describe(void* buffer, int size) const
{
    // A font alone gives as much of its description as the buffer holds:
    // callers commonly ask for the record without the face name's tail.
    if (!buffer)
        return static_cast<int>(sizeof(LOGFONTA));
    if (size <= 0)
        return 0;
    const int copied = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
    std::memcpy(buffer, &logFont, static_cast<std::size_t>(copied));
    return copied;
}

BITMAP BitmapObject::description() const
{
    BITMAP bitmap {};
    bitmap.bmWidth = pixels.width();
    bitmap.bmHeight = pixels.height();
    bitmap.bmWidthBytes = pixels.widthBytes();
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = pixels.bitsPixel();
    return bitmap;
}

int BitmapObject::describe(void* buffer, int size) const
{
    return describeRecord(description(), buffer, size);
}

int PaletteObject::describe(void* buffer, int size) const
{
    return describeRecord(static_cast<WORD>(entries.size()), buffer, size);
}

GdiObject* findObject(const void* handle)
{
    return store().table.find(handle);
}

HGDIOBJ insertObject(std::unique_ptr<GdiObject> object)
{
    const std::uint32_t handle = store().table.insert(std::move(object));
    if (handle == 0) {
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return nullptr;
    }
    return toHandle<HGDIOBJ>(handle);
}

std::unique_ptr<GdiObject> removeObject(const void* handle)
{
    const GdiObject* object = findObject(handle);
    if (!object || object->stock || object->selections > 0)
        return nullptr;
    return store().table.remove(handle);
}

HGDIOBJ stockObject(int index)
{
    if (index < 0 || index > STOCK_LAST)
        return nullptr;
    return toHandle<HGDIOBJ>(store().stock[static_cast<std::size_t>(index)]);
}

HBITMAP defaultBitmap()
{
    return toHandle<HBITMAP>(store().defaultBitmapHandle);
}

bool isSystemColourIndex(int index)
{
    return index >= 0 && index < static_cast<int>(classicScheme.size()) && index != 25;
}

COLORREF systemColour(int index)
{
    return isSystemColourIndex(index) ? classicScheme[static_cast<std::size_t>(index)] : 0;
}

HBRUSH systemColourBrush(int index)
{
    if (!isSystemColourIndex(index))
        return nullptr;
    return toHandle<HBRUSH>(store().colourBrushes[static_cast<std::size_t>(index)]);
}

std::size_t liveObjectCount()
{
    std::size_t count = 0;
    store().table.forEach([&](std::uint32_t, const GdiObject& object) {
        if (!object.stock)
            ++count;
    });
    return count;
}

HBITMAP createBitmapObject(Pixmap pixels)
{
    return static_cast<HBITMAP>(insertObject(std::make_unique<BitmapObject>(std::move(pixels))));
}

}

std::size_t winapi::host::liveGdiObjects()
{
    std::lock_guard guard(gdi::objectLock());
    return gdi::liveObjectCount();
}
