// Drawing objects: handles that go stale, stock objects that never die,
// what GetObjectA reports, palettes, bitmaps' measures and bits, system
// colours, and creation failures armed through the host.
#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Creator {
    const char* name;
    DWORD type;
    std::function<HGDIOBJ()> create;
};

LOGFONTA sansSerif8()
{
    LOGFONTA font {};
    font.lfHeight = -11;
    font.lfWeight = FW_NORMAL;
    std::strcpy(font.lfFaceName, "MS Sans Serif");
    return font;
}

HPALETTE paletteOf(const std::vector<PALETTEENTRY>& entries)
{
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
    auto* record = reinterpret_cast<LOGPALETTE*>(buffer.data());
    record->palVersion = 0x300;
    record->palNumEntries = static_cast<WORD>(entries.size());
    std::memcpy(record->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    return CreatePalette(record);
}

const std::vector<Creator>& creators()
{
    static const std::vector<Creator> list = {
        { "CreateSolidBrush", OBJ_BRUSH, [] { return CreateSolidBrush(RGB(1, 2, 3)); } },
        { "CreateHatchBrush", OBJ_BRUSH, [] { return CreateHatchBrush(HS_CROSS, RGB(1, 2, 3)); } },
        { "CreatePen", OBJ_PEN, [] { return CreatePen(PS_DASH, 1, RGB(4, 5, 6)); } },
        { "CreateBitmap", OBJ_BITMAP, [] { return CreateBitmap(8, 8, 1, 1, nullptr); } },
        { "CreateCompatibleBitmap", OBJ_BITMAP, [] { return CreateCompatibleBitmap(nullptr, 4, 4); } },
        { "CreatePalette", OBJ_PAL, [] { return paletteOf({ { 1, 2, 3, 0 } }); } },
        { "CreateFontIndirectA", OBJ_FONT, [] {
             const LOGFONTA font = sansSerif8();
             return CreateFontIndirectA(&font);
         } },
    };
    return list;
}

TEST(GdiObjects, HandlesGoStaleAfterDeleteObject)
{
    const std::size_t before = winapi::host::liveGdiObjects();
    for (const Creator& creator : creators()) {
        HGDIOBJ object = creator.create();
        ASSERT_NE(object, nullptr) << creator.name;
        EXPECT_EQ(GetObjectType(object), creator.type) << creator.name;
        EXPECT_EQ(winapi::host::liveGdiObjects(), before + 1) << creator.name;
        EXPECT_TRUE(DeleteObject(object)) << creator.name;
        EXPECT_EQ(winapi::host::liveGdiObjects(), before) << creator.name;

        SetLastError(0);
        EXPECT_EQ(GetObjectType(object), 0U) << creator.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << creator.name;
        EXPECT_FALSE(DeleteObject(object)) << creator.name;
        std::array<BYTE, 128> buffer {};
        EXPECT_EQ(GetObjectA(object, static_cast<int>(buffer.size()), buffer.data()), 0) << creator.name;

        // The slot is reused by the next object, under a new handle.
        HGDIOBJ next = creator.create();
        EXPECT_NE(next, object) << creator.name;
        EXPECT_EQ(GetObjectType(object), 0U) << creator.name;
        DeleteObject(next);
    }
    EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(GdiObjects, StockObjectsSurviveDeleteObject)
{
    struct Stock {
        int index;
        DWORD type;
    };
    const Stock stocks[] = {
        { WHITE_BRUSH, OBJ_BRUSH }, { LTGRAY_BRUSH, OBJ_BRUSH }, { GRAY_BRUSH, OBJ_BRUSH },
        { DKGRAY_BRUSH, OBJ_BRUSH }, { BLACK_BRUSH, OBJ_BRUSH }, { NULL_BRUSH, OBJ_BRUSH },
        { WHITE_PEN, OBJ_PEN }, { BLACK_PEN, OBJ_PEN }, { NULL_PEN, OBJ_PEN },
        { OEM_FIXED_FONT, OBJ_FONT }, { ANSI_FIXED_FONT, OBJ_FONT }, { ANSI_VAR_FONT, OBJ_FONT },
        { SYSTEM_FONT, OBJ_FONT }, { DEVICE_DEFAULT_FONT, OBJ_FONT }, { DEFAULT_PALETTE, OBJ_PAL },
        { SYSTEM_FIXED_FONT, OBJ_FONT }, { DEFAULT_GUI_FONT, OBJ_FONT }, { DC_BRUSH, OBJ_BRUSH },
        { DC_PEN, OBJ_PEN },
    };
    std::set<HGDIOBJ> seen;
    for (const Stock& stock : stocks) {
        HGDIOBJ object = GetStockObject(stock.index);
        ASSERT_NE(object, nullptr) << stock.index;
        EXPECT_TRUE(seen.insert(object).second) << stock.index;
        EXPECT_TRUE(DeleteObject(object)) << stock.index;
        EXPECT_EQ(GetObjectType(object), stock.type) << stock.index;
        EXPECT_EQ(GetStockObject(stock.index), object) << stock.index;
    }
    for (const int missing : { -1, 9, STOCK_LAST + 1 })
        EXPECT_EQ(GetStockObject(missing), nullptr) << missing;

    LOGBRUSH brush {};
    ASSERT_EQ(GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbColor, RGB(192, 192, 192));
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof brush, &brush), static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_NULL));
    LOGFONTA font {};
    ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, -11);
    EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg");
    EXPECT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 0, nullptr), 20U);
}

TEST(GdiObjects, SystemColoursAndTheirBrushes)
{
    struct Colour {
        int index;
        COLORREF colour;
    };
    const Colour classic[] = {
        { COLOR_WINDOW, RGB(255, 255, 255) }, { COLOR_BTNFACE, RGB(192, 192, 192) },
        { COLOR_BTNSHADOW, RGB(128, 128, 128) }, { COLOR_ACTIVECAPTION, RGB(0, 0, 128) },
        { COLOR_HIGHLIGHT, RGB(0, 0, 128) }, { COLOR_WINDOWTEXT, RGB(0, 0, 0) },
        { COLOR_BACKGROUND, RGB(0, 128, 128) }, { COLOR_INFOBK, RGB(255, 255, 225) },
    };
    for (const Colour& c : classic)
        EXPECT_EQ(GetSysColor(c.index), c.colour) << c.index;
    for (int index = 0; index <= COLOR_MENUBAR; ++index) {
        HBRUSH brush = GetSysColorBrush(index);
        if (index == 25) {
            EXPECT_EQ(brush, nullptr);
            continue;
        }
        ASSERT_NE(brush, nullptr) << index;
        EXPECT_EQ(GetSysColorBrush(index), brush) << index;
        EXPECT_TRUE(DeleteObject(brush)) << index;
        LOGBRUSH logBrush {};
        ASSERT_EQ(GetObjectA(brush, sizeof logBrush, &logBrush), static_cast<int>(sizeof logBrush)) << index;
        EXPECT_EQ(logBrush.lbStyle, static_cast<UINT>(BS_SOLID)) << index;
        EXPECT_EQ(logBrush.lbColor, GetSysColor(index)) << index;
    }
    EXPECT_EQ(GetSysColorBrush(COLOR_MENUBAR + 1), nullptr);
}

TEST(GdiObjects, GetObjectSizesAndShortBuffers)
{
    struct Case {
        const char* name;
        HGDIOBJ object;
        int recordSize;
        bool partialCopies;
    };
    const LOGFONTA logFont = sansSerif8();
    HGDIOBJ brush = CreateSolidBrush(RGB(9, 8, 7));
    HGDIOBJ pen = CreatePen(PS_SOLID, 2, RGB(9, 8, 7));
    HGDIOBJ bitmap = CreateBitmap(3, 3, 1, 32, nullptr);
    HGDIOBJ palette = paletteOf({ { 1, 1, 1, 0 }, { 2, 2, 2, 0 }, { 3, 3, 3, 0 } });
    HGDIOBJ font = CreateFontIndirectA(&logFont);
    const Case cases[] = {
        { "brush", brush, static_cast<int>(sizeof(LOGBRUSH)), false },
        { "pen", pen, static_cast<int>(sizeof(LOGPEN)), false },
        { "bitmap", bitmap, static_cast<int>(sizeof(BITMAP)), false },
        { "palette", palette, static_cast<int>(sizeof(WORD)), false },
        { "font", font, static_cast<int>(sizeof(LOGFONTA)), true },
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.object, nullptr) << c.name;
        EXPECT_EQ(GetObjectA(c.object, 0, nullptr), c.recordSize) << c.name;
        std::array<BYTE, 256> buffer {};
        EXPECT_EQ(GetObjectA(c.object, static_cast<int>(buffer.size()), buffer.data()), c.recordSize) << c.name;
        const std::array<BYTE, 256> full = buffer;
        std::array<BYTE, 256> shorter {};
        const int shortSize = c.recordSize - 1;
        EXPECT_EQ(GetObjectA(c.object, shortSize, shorter.data()), c.partialCopies ? shortSize : 0) << c.name;
        if (c.partialCopies) {
            EXPECT_EQ(std::memcmp(shorter.data(), full.data(), static_cast<std::size_t>(shortSize)), 0) << c.name;
        }
        EXPECT_EQ(shorter[static_cast<std::size_t>(shortSize)], 0) << "nothing past the buffer: " << c.name;
    }

    WORD count = 0;
    ASSERT_EQ(GetObjectA(palette, sizeof count, &count), 2);
    EXPECT_EQ(count, 3);
    LOGFONTA readFont {};
    ASSERT_EQ(GetObjectA(font, sizeof readFont, &readFont), static_cast<int>(sizeof readFont));
    EXPECT_EQ(std::memcmp(&readFont, &logFont, sizeof logFont), 0);
    for (const Case& c : cases)
        EXPECT_TRUE(DeleteObject(c.object)) << c.name;
}

TEST(GdiObjects, BrushesAndPensReadBack)
{
    struct PenCase {
        int style;
        int width;
        UINT readStyle;
        LONG readWidth;
    };
    const PenCase pens[] = {
        { PS_SOLID, 0, PS_SOLID, 0 },
        { PS_DOT, 1, PS_DOT, 1 },
        { PS_INSIDEFRAME, 5, PS_INSIDEFRAME, 5 },
        { PS_NULL, 0, PS_NULL, 0 },
        { 42, 3, PS_SOLID, 3 },
        { PS_SOLID, -4, PS_SOLID, 4 },
    };
    for (const PenCase& c : pens) {
        HPEN pen = CreatePen(c.style, c.width, RGB(10, 20, 30));
        ASSERT_NE(pen, nullptr);
        LOGPEN logPen {};
        ASSERT_EQ(GetObjectA(pen, sizeof logPen, &logPen), static_cast<int>(sizeof logPen));
        EXPECT_EQ(logPen.lopnStyle, c.readStyle) << c.style;
        EXPECT_EQ(logPen.lopnWidth.x, c.readWidth) << c.style;
        EXPECT_EQ(logPen.lopnColor, RGB(10, 20, 30)) << c.style;
        DeleteObject(pen);
    }

    struct BrushCase {
        HBRUSH brush;
        UINT style;
        COLORREF colour;
        ULONG_PTR hatch;
    };
    const LOGBRUSH hollow { BS_HOLLOW, RGB(1, 1, 1), 0 };
    const BrushCase brushes[] = {
        { CreateSolidBrush(RGB(200, 100, 50)), BS_SOLID, RGB(200, 100, 50), 0 },
        { CreateSolidBrush(PALETTEINDEX(3)), BS_SOLID, 3, 0 },
        { CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255)), BS_HATCHED, RGB(0, 0, 255), HS_DIAGCROSS },
        { CreateBrushIndirect(&hollow), BS_NULL, 0, 0 },
    };
    for (const BrushCase& c : brushes) {
        ASSERT_NE(c.brush, nullptr);
        LOGBRUSH logBrush {};
        ASSERT_EQ(GetObjectA(c.brush, sizeof logBrush, &logBrush), static_cast<int>(sizeof logBrush));
        EXPECT_EQ(logBrush.lbStyle, c.style);
        EXPECT_EQ(logBrush.lbColor, c.colour);
        EXPECT_EQ(logBrush.lbHatch, c.hatch);
        DeleteObject(c.brush);
    }
    EXPECT_EQ(CreateHatchBrush(HS_DIAGCROSS + 1, 0), nullptr);
    EXPECT_EQ(CreatePatternBrush(nullptr), nullptr);

    // A pattern brush keeps its pattern when the bitmap goes.
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, nullptr);
    HBRUSH patterned = CreatePatternBrush(pattern);
    ASSERT_NE(patterned, nullptr);
    EXPECT_TRUE(DeleteObject(pattern));
    EXPECT_EQ(GetObjectType(patterned), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(patterned);
}

TEST(GdiObjects, PaletteEntriesRoundTrip)
{
    const std::vector<PALETTEENTRY> entries = {
        { 0, 0, 0, 0 }, { 255, 0, 0, PC_RESERVED }, { 0, 255, 0, 0 }, { 0, 0, 255, PC_NOCOLLAPSE }, { 250, 250, 250, 0 },
    };
    HPALETTE palette = paletteOf(entries);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 5U);

    std::array<PALETTEENTRY, 8> read {};
    ASSERT_EQ(GetPaletteEntries(palette, 0, 8, read.data()), 5U) << "the count is clipped to the palette";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(std::memcmp(&read[i], &entries[i], sizeof(PALETTEENTRY)), 0) << i;
    }
    EXPECT_EQ(GetPaletteEntries(palette, 3, 8, read.data()), 2U);
    EXPECT_EQ(read[0].peBlue, 255);
    SetLastError(0);
    EXPECT_EQ(GetPaletteEntries(palette, 5, 1, read.data()), 0U);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    const PALETTEENTRY changed[] = { { 9, 8, 7, PC_RESERVED }, { 6, 5, 4, 0 }, { 3, 2, 1, 0 } };
    EXPECT_EQ(SetPaletteEntries(palette, 3, 3, changed), 2U);
    ASSERT_EQ(GetPaletteEntries(palette, 3, 2, read.data()), 2U);
    EXPECT_EQ(std::memcmp(read.data(), changed, 2 * sizeof(PALETTEENTRY)), 0);
    EXPECT_EQ(SetPaletteEntries(palette, 7, 1, changed), 0U);

    struct Nearest {
        COLORREF colour;
        UINT index;
    };
    // Entries now: black, red, green, (9, 8, 7), (6, 5, 4).
    const Nearest nearest[] = {
        { RGB(10, 10, 10), 3 }, { RGB(200, 30, 30), 1 }, { RGB(20, 220, 40), 2 }, { RGB(5, 5, 5), 4 },
        { RGB(0, 0, 1), 0 },
    };
    for (const Nearest& n : nearest)
        EXPECT_EQ(GetNearestPaletteIndex(palette, n.colour), n.index) << std::hex << n.colour;
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_EQ(GetNearestPaletteIndex(palette, 0), CLR_INVALID);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 0U);

    std::array<BYTE, sizeof(LOGPALETTE)> empty {};
    reinterpret_cast<LOGPALETTE*>(empty.data())->palVersion = 0x300;
    EXPECT_EQ(CreatePalette(reinterpret_cast<LOGPALETTE*>(empty.data())), nullptr);
    EXPECT_EQ(CreatePalette(nullptr), nullptr);
    EXPECT_EQ(SetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 1, changed), 0U);
}

TEST(GdiObjects, BitmapMeasures)
{
    struct Case {
        int width, height;
        UINT planes, bitsPixel;
        LONG widthBytes;
        WORD storedBits;
    };
    const Case cases[] = {
        { 16, 4, 1, 1, 2, 1 },
        { 10, 5, 1, 1, 2, 1 },
        { 17, 1, 1, 1, 4, 1 },
        { 100, 50, 1, 32, 400, 32 },
        { 3, 2, 1, 32, 12, 32 },
        { 5, 1, 1, 24, 16, 24 },
        { 3, 1, 1, 4, 2, 4 },
        { 5, 1, 1, 8, 6, 8 },
        { 3, 1, 1, 16, 6, 16 },
        { 3, 1, 1, 2, 2, 4 },
    };
    for (const Case& c : cases) {
        HBITMAP bitmap = CreateBitmap(c.width, c.height, c.planes, c.bitsPixel, nullptr);
        ASSERT_NE(bitmap, nullptr) << c.width << "x" << c.height << "x" << c.bitsPixel;
        BITMAP info {};
        ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmType, 0);
        EXPECT_EQ(info.bmWidth, c.width);
        EXPECT_EQ(info.bmHeight, c.height);
        EXPECT_EQ(info.bmWidthBytes, c.widthBytes) << c.width << "x" << c.bitsPixel;
        EXPECT_EQ(info.bmPlanes, 1);
        EXPECT_EQ(info.bmBitsPixel, c.storedBits);
        EXPECT_EQ(info.bmBits, nullptr);
        EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), c.widthBytes * c.height);
        DeleteObject(bitmap);
    }

    HBITMAP screen = CreateCompatibleBitmap(nullptr, 100, 50);
    BITMAP info {};
    ASSERT_EQ(GetObjectA(screen, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 100);
    EXPECT_EQ(info.bmHeight, 50);
    EXPECT_EQ(info.bmBitsPixel, 32);
    DeleteObject(screen);

    // An empty size gives the one shared 1-by-1 monochrome bitmap.
    HBITMAP empty = CreateCompatibleBitmap(nullptr, 0, 7);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(CreateBitmap(4, 0, 1, 32, nullptr), empty);
    ASSERT_EQ(GetObjectA(empty, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(empty));
    EXPECT_EQ(GetObjectType(empty), static_cast<DWORD>(OBJ_BITMAP));

    SetLastError(0);
    EXPECT_EQ(CreateBitmap(-1, 4, 1, 1, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateBitmap(4, 4, 1, 33, nullptr), nullptr);
    SetLastError(0);
    EXPECT_EQ(CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(CreateCompatibleBitmap(reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH)), 4, 4), nullptr);
}

TEST(GdiObjects, BitmapBitsRoundTrip)
{
    const BYTE mono[] = { 0xA5, 0x00, 0x5A, 0x00 }; // 8 by 2, rows padded to 16 bits
    HBITMAP bitmap = CreateBitmap(8, 2, 1, 1, mono);
    ASSERT_NE(bitmap, nullptr);
    std::array<BYTE, 8> read {};
    ASSERT_EQ(GetBitmapBits(bitmap, static_cast<LONG>(read.size()), read.data()), 4);
    EXPECT_EQ(std::memcmp(read.data(), mono, sizeof mono), 0);
    EXPECT_EQ(GetBitmapBits(bitmap, 1, read.data()), 1);

    const BYTE replaced[] = { 0xFF, 0x00 };
    EXPECT_EQ(SetBitmapBits(bitmap, sizeof replaced, replaced), 2);
    ASSERT_EQ(GetBitmapBits(bitmap, 4, read.data()), 4);
    EXPECT_EQ(read[0], 0xFF);
    EXPECT_EQ(read[2], 0x5A) << "bytes past the written count keep their value";
    DeleteObject(bitmap);
    EXPECT_EQ(GetBitmapBits(bitmap, 4, read.data()), 0);
    EXPECT_EQ(SetBitmapBits(bitmap, 4, read.data()), 0);
}

TEST(GdiObjects, CreationFailuresCarryTheArmedCode)
{
    for (const Creator& creator : creators()) {
        winapi::host::ScopedFailure failure(creator.name, 1, ERROR_NOT_ENOUGH_MEMORY);
        const std::size_t before = winapi::host::liveGdiObjects();
        SetLastError(0);
        EXPECT_EQ(creator.create(), nullptr) << creator.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << creator.name;
        EXPECT_EQ(winapi::host::liveGdiObjects(), before) << creator.name;
        HGDIOBJ second = creator.create();
        EXPECT_NE(second, nullptr) << "only the armed call fails: " << creator.name;
        DeleteObject(second);
    }
}

TEST(GdiObjects, ConcurrentCreationGivesDistinctHandles)
{
    constexpr int perThread = 200;
    std::array<std::vector<HGDIOBJ>, 4> made;
    std::vector<std::thread> threads;
    for (auto& list : made) {
        threads.emplace_back([&list] {
            for (int i = 0; i < perThread; ++i) {
                list.push_back(CreateSolidBrush(RGB(i, 0, 0)));
                if (i % 2)
                    DeleteObject(CreatePen(PS_SOLID, 1, 0));
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    std::set<HGDIOBJ> all;
    for (const auto& list : made) {
        for (HGDIOBJ brush : list) {
            EXPECT_NE(brush, nullptr);
            all.insert(brush);
        }
    }
    EXPECT_EQ(all.size(), made.size() * perThread);
    for (HGDIOBJ brush : all)
        EXPECT_TRUE(DeleteObject(brush));
}

}
