// Icons and cursors: the system's images, shared loads, the program's
// icon and cursor resources read pixel for pixel against their drawings,
// copies and who owns them, GetIconInfo's new bitmaps, icons made from
// bitmaps, the cursor shown, and armed failures.
#include <windows.h>
#include <winapi/host.h>

#include "ResourceImage.h"
#include "TestResourceIds.h"
#include "TestResourceImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The pixels of an icon as GetIconInfo describes them.
struct Described {
    BOOL isIcon { FALSE };
    POINT hotspot { 0, 0 };
    BITMAP mask {};
    std::optional<BITMAP> colour;
    std::vector<BYTE> maskBits;
    std::vector<BYTE> colourBits;

    bool transparent(int x, int y) const
    {
        return (maskBits[static_cast<std::size_t>(y) * mask.bmWidthBytes + x / 8] >> (7 - x % 8)) & 1;
    }
    COLORREF colourAt(int x, int y) const
    {
        const BYTE* p = &colourBits[static_cast<std::size_t>(y) * colour->bmWidthBytes + x * 4];
        return RGB(p[2], p[1], p[0]);
    }
};

std::optional<Described> describe(HICON icon)
{
    ICONINFO info {};
    if (!GetIconInfo(icon, &info))
        return std::nullopt;
    Described d;
    d.isIcon = info.fIcon;
    d.hotspot = { static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot) };
    EXPECT_EQ(GetObjectA(info.hbmMask, sizeof d.mask, &d.mask), static_cast<int>(sizeof d.mask));
    d.maskBits.resize(static_cast<std::size_t>(GetBitmapBits(info.hbmMask, 0, nullptr)));
    GetBitmapBits(info.hbmMask, static_cast<LONG>(d.maskBits.size()), d.maskBits.data());
    if (info.hbmColor) {
        BITMAP colour {};
        EXPECT_EQ(GetObjectA(info.hbmColor, sizeof colour, &colour), static_cast<int>(sizeof colour));
        d.colour = colour;
        d.colourBits.resize(static_cast<std::size_t>(GetBitmapBits(info.hbmColor, 0, nullptr)));
        GetBitmapBits(info.hbmColor, static_cast<LONG>(d.colourBits.size()), d.colourBits.data());
        EXPECT_TRUE(DeleteObject(info.hbmColor));
    }
    EXPECT_TRUE(DeleteObject(info.hbmMask));
    return d;
}

// One image of an icon drawing in the sources (the icon generator's text
// format): legend characters to colours, nullopt for transparent.
struct Drawing {
    int width { 0 };
    int height { 0 };
    POINT hotspot { 0, 0 };
    std::vector<std::string> rows;
    std::map<char, std::optional<COLORREF>> legend;
};

Drawing readDrawing(const std::string& path, int width)
{
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    Drawing drawing;
    std::map<char, std::optional<COLORREF>> legend;
    std::string line;
    bool inLegend = false;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "palette") {
            inLegend = true;
        } else if (first == "image") {
            inLegend = false;
            Drawing image;
            std::string hotspot;
            words >> image.width >> image.height >> hotspot >> image.hotspot.x >> image.hotspot.y;
            for (int row = 0; row < image.height && std::getline(file, line); ++row)
                image.rows.push_back(line);
            if (image.width == width) {
                image.legend = legend;
                return image;
            }
        } else if (inLegend && first.size() == 1) {
            std::string value;
            words >> value;
            if (value == "transparent") {
                legend[first[0]] = std::nullopt;
            } else {
                const unsigned long rgb = std::stoul(value, nullptr, 16);
                legend[first[0]] = RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
            }
        }
    }
    ADD_FAILURE() << "no image of width " << width << " in " << path;
    return drawing;
}

// The icon shows the drawing: transparent where it is, its colours elsewhere.
void expectShowsDrawing(HICON icon, const Drawing& drawing)
{
    const std::optional<Described> d = describe(icon);
    ASSERT_TRUE(d);
    ASSERT_TRUE(d->colour);
    ASSERT_EQ(d->colour->bmWidth, drawing.width);
    ASSERT_EQ(d->colour->bmHeight, drawing.height);
    ASSERT_EQ(d->mask.bmHeight, drawing.height);
    int mismatches = 0;
    for (int y = 0; y < drawing.height; ++y) {
        for (int x = 0; x < drawing.width; ++x) {
            const std::optional<COLORREF> want = drawing.legend.at(drawing.rows[y][x]);
            if (d->transparent(x, y) != !want || (want && d->colourAt(x, y) != *want))
                ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

std::string sourcePath(const char* relative)
{
    return std::string(VEXLO_SOURCE_DIR) + "/" + relative;
}

HINSTANCE module()
{
    return GetModuleHandleA(nullptr);
}

HBITMAP filledBitmap(int width, int height, UINT bits, BYTE seed)
{
    std::vector<BYTE> data(static_cast<std::size_t>((width * bits + 15) / 16 * 2 * height));
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<BYTE>(seed + i * 37);
    return CreateBitmap(width, height, 1, bits, data.data());
}

std::vector<BYTE> bitsOf(HBITMAP bitmap)
{
    std::vector<BYTE> bits(static_cast<std::size_t>(GetBitmapBits(bitmap, 0, nullptr)));
    GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    return bits;
}

TEST(Icons, SystemIconsAreSharedColourImages)
{
    const LPCSTR ids[] = { IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_WINLOGO };
    const std::size_t live = winapi::host::liveIcons();
    for (LPCSTR id : ids) {
        HICON icon = LoadIconA(nullptr, id);
        ASSERT_NE(icon, nullptr) << LOWORD(id);
        EXPECT_EQ(LoadIconA(nullptr, id), icon) << LOWORD(id);
        const std::optional<Described> d = describe(icon);
        ASSERT_TRUE(d) << LOWORD(id);
        EXPECT_TRUE(d->isIcon);
        ASSERT_TRUE(d->colour);
        EXPECT_EQ(d->colour->bmWidth, 32);
        EXPECT_EQ(d->colour->bmHeight, 32);
        EXPECT_EQ(d->colour->bmBitsPixel, 32);
        EXPECT_EQ(d->mask.bmHeight, 32);
        EXPECT_EQ(d->mask.bmBitsPixel, 1);
        EXPECT_EQ(d->hotspot.x, 16);
        EXPECT_EQ(d->hotspot.y, 16);
        EXPECT_FALSE(d->transparent(16, 16)) << "the middle is drawn: " << LOWORD(id);
        EXPECT_TRUE(d->transparent(0, 0) || d->transparent(31, 0)) << "a corner shows through: " << LOWORD(id);

        EXPECT_TRUE(DestroyIcon(icon)) << "destroying a shared icon succeeds";
        EXPECT_TRUE(describe(icon)) << "and leaves it alone: " << LOWORD(id);
    }
    EXPECT_EQ(LoadIconA(nullptr, IDI_ERROR), LoadIconA(nullptr, IDI_HAND));
    EXPECT_EQ(LoadIconA(nullptr, IDI_INFORMATION), LoadIconA(nullptr, IDI_ASTERISK));
    EXPECT_EQ(winapi::host::liveIcons(), live) << "shared icons are not counted as the program's";

    SetLastError(0);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(32600)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadIconA(reinterpret_cast<HINSTANCE>(0x12340000), IDI_APPLICATION), nullptr);
}

TEST(Icons, SystemCursorsAreMonochrome)
{
    struct Case {
        LPCSTR id;
        LONG hotspotX, hotspotY;
    };
    const Case cases[] = {
        { IDC_ARROW, 0, 0 }, { IDC_IBEAM, 15, 15 }, { IDC_WAIT, 15, 15 }, { IDC_CROSS, 15, 15 },
        { IDC_UPARROW, 15, 4 }, { IDC_SIZE, 15, 15 }, { IDC_SIZEALL, 15, 15 }, { IDC_SIZENWSE, 15, 15 },
        { IDC_SIZENESW, 15, 15 }, { IDC_SIZEWE, 15, 15 }, { IDC_SIZENS, 15, 15 }, { IDC_NO, 15, 15 },
        { IDC_HAND, 5, 0 }, { IDC_APPSTARTING, 0, 0 }, { IDC_HELP, 0, 0 },
    };
    std::vector<std::vector<BYTE>> seen;
    for (const Case& c : cases) {
        HCURSOR cursor = LoadCursorA(nullptr, c.id);
        ASSERT_NE(cursor, nullptr) << LOWORD(c.id);
        EXPECT_EQ(LoadCursorA(nullptr, c.id), cursor);
        const std::optional<Described> d = describe(cursor);
        ASSERT_TRUE(d);
        EXPECT_FALSE(d->isIcon);
        EXPECT_FALSE(d->colour) << "monochrome: " << LOWORD(c.id);
        EXPECT_EQ(d->mask.bmWidth, 32);
        EXPECT_EQ(d->mask.bmHeight, 64) << "AND mask above XOR mask";
        EXPECT_EQ(d->hotspot.x, c.hotspotX) << LOWORD(c.id);
        EXPECT_EQ(d->hotspot.y, c.hotspotY) << LOWORD(c.id);
        // Drawn pixels: all but those with the AND bit set and no XOR bit.
        int opaque = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x)
                opaque += d->transparent(x, y) && !d->transparent(x, y + 32) ? 0 : 1;
        }
        EXPECT_GT(opaque, 8) << LOWORD(c.id);
        EXPECT_LT(opaque, 32 * 32 / 2) << LOWORD(c.id);
        if (c.id != IDC_SIZE)
            seen.push_back(d->maskBits);
        EXPECT_TRUE(DestroyCursor(cursor));
        EXPECT_TRUE(describe(cursor));
    }
    for (std::size_t i = 0; i < seen.size(); ++i) {
        for (std::size_t j = i + 1; j < seen.size(); ++j)
            EXPECT_NE(seen[i], seen[j]) << "cursors " << i << " and " << j << " look the same";
    }
}

TEST(Icons, SizesSharingAndOwnership)
{
    const std::size_t live = winapi::host::liveIcons();
    HANDLE small = LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 16, 16, LR_SHARED), small);
    EXPECT_NE(small, LoadIconA(nullptr, IDI_APPLICATION)) << "another size is another image";
    EXPECT_EQ(LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE),
        LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(describe(static_cast<HICON>(small))->colour->bmWidth, 16);

    // Unshared loads are the caller's: a new image each time, destroyed once.
    HANDLE own = LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 48, 48, 0);
    HANDLE another = LoadImageA(nullptr, IDI_APPLICATION, IMAGE_ICON, 48, 48, 0);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, another);
    EXPECT_EQ(winapi::host::liveIcons(), live + 2);
    EXPECT_EQ(describe(static_cast<HICON>(own))->colour->bmWidth, 48);
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(own)));
    SetLastError(0);
    EXPECT_FALSE(DestroyIcon(static_cast<HICON>(own)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
    ICONINFO info {};
    EXPECT_FALSE(GetIconInfo(static_cast<HICON>(own), &info));
    EXPECT_TRUE(DestroyIcon(static_cast<HICON>(another)));
    EXPECT_EQ(winapi::host::liveIcons(), live);

    HANDLE mono = LoadImageA(nullptr, IDI_HAND, IMAGE_ICON, 0, 0, LR_MONOCHROME);
    ASSERT_NE(mono, nullptr);
    const std::optional<Described> d = describe(static_cast<HICON>(mono));
    EXPECT_FALSE(d->colour);
    EXPECT_EQ(d->mask.bmWidth, 32);
    EXPECT_EQ(d->mask.bmHeight, 64);
    EXPECT_FALSE(d->transparent(16, 16)) << "the white cross is opaque";
    EXPECT_TRUE(d->transparent(16, 16 + 32)) << "and light, so its XOR bit is set";
    EXPECT_FALSE(d->transparent(16, 6 + 32)) << "the red disc is dark";
    DestroyIcon(static_cast<HICON>(mono));

    HANDLE bigCursor = LoadImageA(nullptr, IDC_ARROW, IMAGE_CURSOR, 48, 48, 0);
    ASSERT_NE(bigCursor, nullptr);
    EXPECT_EQ(describe(static_cast<HICON>(bigCursor))->mask.bmHeight, 96);
    DestroyCursor(static_cast<HCURSOR>(bigCursor));

    struct Refused {
        UINT type;
        UINT flags;
        DWORD code;
    };
    const Refused refused[] = {
        { IMAGE_ICON, LR_LOADFROMFILE, ERROR_FILE_NOT_FOUND },
        { IMAGE_ENHMETAFILE, 0, ERROR_INVALID_PARAMETER },
        { IMAGE_BITMAP, 0, ERROR_RESOURCE_NAME_NOT_FOUND },
    };
    for (const Refused& r : refused) {
        SetLastError(0);
        EXPECT_EQ(LoadImageA(nullptr, IDI_APPLICATION, r.type, 0, 0, r.flags), nullptr) << r.type;
        EXPECT_EQ(GetLastError(), r.code) << r.type;
    }
}

TEST(Icons, ResourceIconsShowTheirDrawings)
{
    winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    const std::string large = sourcePath("resources/icons/vexlo.txt");

    HICON icon = LoadIconA(module(), MAKEINTRESOURCEA(1));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconA(module(), MAKEINTRESOURCEA(1)), icon);
    expectShowsDrawing(icon, readDrawing(large, 32));

    HANDLE small = LoadImageA(module(), MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0);
    ASSERT_NE(small, nullptr);
    expectShowsDrawing(static_cast<HICON>(small), readDrawing(large, 16));
    DestroyIcon(static_cast<HICON>(small));

    HANDLE other = LoadImageA(module(), MAKEINTRESOURCEA(2), IMAGE_ICON, 16, 16, LR_SHARED);
    ASSERT_NE(other, nullptr);
    expectShowsDrawing(static_cast<HICON>(other), readDrawing(sourcePath("resources/icons/vexlo-small.txt"), 16));

    // Asking for a size the resource lacks scales its nearest image.
    HANDLE scaled = LoadImageA(module(), MAKEINTRESOURCEA(2), IMAGE_ICON, 24, 24, 0);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(describe(static_cast<HICON>(scaled))->colour->bmWidth, 24);
    DestroyIcon(static_cast<HICON>(scaled));

    SetLastError(0);
    EXPECT_EQ(LoadIconA(module(), MAKEINTRESOURCEA(99)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadIconA(module(), IDI_APPLICATION), nullptr) << "the program has no icon of that number";
}

TEST(Icons, ResourceCursorsKeepTheirHotspots)
{
    winapi::host::setResourceImage(vexloTestResourceImage, vexloTestResourceImageSize);
    const std::string path = sourcePath("tests/resources/pointer.txt");
    struct Case {
        int size;
    };
    for (const Case c : { Case { 32 }, Case { 16 } }) {
        const Drawing drawing = readDrawing(path, c.size);
        HANDLE cursor = LoadImageA(module(), MAKEINTRESOURCEA(IDC_TEST_POINTER), IMAGE_CURSOR, c.size, c.size, 0);
        ASSERT_NE(cursor, nullptr) << c.size;
        const std::optional<Described> d = describe(static_cast<HICON>(cursor));
        ASSERT_TRUE(d);
        EXPECT_FALSE(d->isIcon);
        EXPECT_EQ(d->hotspot.x, drawing.hotspot.x) << c.size;
        EXPECT_EQ(d->hotspot.y, drawing.hotspot.y) << c.size;
        expectShowsDrawing(static_cast<HICON>(cursor), drawing);
        EXPECT_TRUE(DestroyCursor(static_cast<HCURSOR>(cursor)));
    }
    EXPECT_NE(LoadCursorA(module(), MAKEINTRESOURCEA(IDC_TEST_POINTER)), nullptr);
    EXPECT_EQ(LoadIconA(module(), MAKEINTRESOURCEA(IDC_TEST_POINTER)), nullptr) << "a cursor is no icon group";
}

TEST(Icons, CopiesAndWhoOwnsThem)
{
    winapi::host::setResourceImage(vexloResourceImage, vexloResourceImageSize);
    const std::size_t live = winapi::host::liveIcons();
    HICON source = static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(source, nullptr);

    // Nothing to change: the source itself comes back, and destroying it
    // once is all there is to do.
    EXPECT_EQ(CopyImage(source, IMAGE_ICON, 0, 0, LR_COPYRETURNORG), source);
    EXPECT_EQ(CopyImage(source, IMAGE_ICON, 0, 0, LR_COPYRETURNORG | LR_COPYFROMRESOURCE), source);
    EXPECT_EQ(CopyImage(source, IMAGE_ICON, 0, 0, LR_COPYRETURNORG | LR_COPYDELETEORG), source);
    EXPECT_EQ(winapi::host::liveIcons(), live + 1);

    HICON copy = static_cast<HICON>(CopyImage(source, IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, source);
    EXPECT_TRUE(DestroyIcon(copy));
    EXPECT_TRUE(describe(source)) << "the source outlives its copy";

    // From the resource, a smaller copy is the resource's own small image;
    // without the flag it is the large image scaled down.
    HICON fromResource = static_cast<HICON>(CopyImage(source, IMAGE_ICON, 16, 16, LR_COPYFROMRESOURCE));
    ASSERT_NE(fromResource, nullptr);
    expectShowsDrawing(fromResource, readDrawing(sourcePath("resources/icons/vexlo.txt"), 16));
    HICON scaled = static_cast<HICON>(CopyImage(source, IMAGE_ICON, 16, 16, LR_COPYRETURNORG));
    ASSERT_NE(scaled, nullptr);
    EXPECT_NE(scaled, source);
    EXPECT_NE(describe(scaled)->colourBits, describe(fromResource)->colourBits);
    DestroyIcon(fromResource);
    DestroyIcon(scaled);

    HICON mono = static_cast<HICON>(CopyImage(source, IMAGE_ICON, 0, 0, LR_MONOCHROME | LR_COPYRETURNORG));
    ASSERT_NE(mono, nullptr);
    EXPECT_NE(mono, source);
    EXPECT_FALSE(describe(mono)->colour);
    DestroyIcon(mono);

    HICON moved = static_cast<HICON>(CopyImage(source, IMAGE_ICON, 0, 0, LR_COPYDELETEORG));
    ASSERT_NE(moved, nullptr);
    EXPECT_FALSE(describe(source)) << "the original is gone";
    EXPECT_TRUE(DestroyIcon(moved));
    EXPECT_EQ(winapi::host::liveIcons(), live);

    // A shared source survives LR_COPYDELETEORG.
    HICON shared = LoadIconA(nullptr, IDI_QUESTION);
    HICON sharedCopy = static_cast<HICON>(CopyImage(shared, IMAGE_ICON, 16, 16, LR_COPYDELETEORG));
    ASSERT_NE(sharedCopy, nullptr);
    EXPECT_TRUE(describe(shared));
    EXPECT_EQ(CopyIcon(shared) != nullptr, true);
    DestroyIcon(sharedCopy);

    SetLastError(0);
    EXPECT_EQ(CopyImage(moved, IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
    EXPECT_EQ(CopyImage(GetStockObject(WHITE_BRUSH), IMAGE_ICON, 0, 0, 0), nullptr);
    EXPECT_EQ(CopyImage(shared, IMAGE_BITMAP, 0, 0, 0), nullptr);
}

TEST(Icons, BitmapCopies)
{
    HBITMAP source = filledBitmap(10, 6, 32, 3);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_COPYRETURNORG), source);
    EXPECT_EQ(CopyImage(source, IMAGE_BITMAP, 10, 6, LR_COPYRETURNORG), source);

    HBITMAP same = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(same, nullptr);
    EXPECT_NE(same, source);
    EXPECT_EQ(bitsOf(same), bitsOf(source));

    struct Case {
        int width, height;
        UINT flags;
        LONG readWidth, readHeight;
        WORD bits;
    };
    const Case cases[] = {
        { 20, 3, 0, 20, 3, 32 },
        { 0, 0, LR_MONOCHROME, 10, 6, 1 },
        { 5, 0, LR_COPYRETURNORG, 5, 6, 32 },
    };
    for (const Case& c : cases) {
        HBITMAP copy = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, c.width, c.height, c.flags));
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, source);
        BITMAP info {};
        ASSERT_EQ(GetObjectA(copy, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, c.readWidth);
        EXPECT_EQ(info.bmHeight, c.readHeight);
        EXPECT_EQ(info.bmBitsPixel, c.bits);
        DeleteObject(copy);
    }

    // Pixels survive the copies: scaled by nearest pixel, made monochrome
    // by brightness (a set bit is white).
    const BYTE pair[] = { 0xFF, 0xFF, 0xFF, 0, 0x20, 0x10, 0x00, 0 }; // white, dark blue
    HBITMAP two = CreateBitmap(2, 1, 1, 32, pair);
    HBITMAP wide = static_cast<HBITMAP>(CopyImage(two, IMAGE_BITMAP, 4, 1, 0));
    HBITMAP mono = static_cast<HBITMAP>(CopyImage(two, IMAGE_BITMAP, 0, 0, LR_MONOCHROME));
    const std::vector<BYTE> wideBits = bitsOf(wide);
    ASSERT_EQ(wideBits.size(), 16U);
    for (const auto& [pixel, first] : { std::pair { 0, 0 }, std::pair { 1, 0 }, std::pair { 2, 4 }, std::pair { 3, 4 } })
        EXPECT_EQ(std::memcmp(&wideBits[pixel * 4], &pair[first], 3), 0) << pixel;
    EXPECT_EQ(bitsOf(mono)[0] & 0xC0, 0x80);
    DeleteObject(two);
    DeleteObject(wide);
    DeleteObject(mono);

    HBITMAP moved = static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP, 0, 0, LR_COPYDELETEORG));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(GetObjectType(source), 0U);
    EXPECT_EQ(bitsOf(moved), bitsOf(same));
    DeleteObject(moved);
    DeleteObject(same);
    SetLastError(0);
    EXPECT_EQ(CopyImage(source, IMAGE_BITMAP, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Icons, IconsFromBitmapsAndTheirDescriptions)
{
    const std::size_t liveObjects = winapi::host::liveGdiObjects();
    HBITMAP mask = filledBitmap(8, 8, 1, 1);
    HBITMAP colour = filledBitmap(8, 8, 32, 2);
    HBITMAP monoMasks = filledBitmap(8, 16, 1, 3);

    struct Case {
        const char* name;
        BOOL isIcon;
        HBITMAP mask, colour;
        LONG maskHeight;
        POINT hotspot;
    };
    const Case cases[] = {
        { "colour icon", TRUE, mask, colour, 8, { 4, 4 } },
        { "colour cursor", FALSE, mask, colour, 8, { 1, 2 } },
        { "monochrome icon", TRUE, monoMasks, nullptr, 16, { 4, 4 } },
        { "monochrome cursor", FALSE, monoMasks, nullptr, 16, { 1, 2 } },
    };
    for (const Case& c : cases) {
        ICONINFO info { c.isIcon, 1, 2, c.mask, c.colour };
        HICON icon = CreateIconIndirect(&info);
        ASSERT_NE(icon, nullptr) << c.name;

        ICONINFO first {}, second {};
        ASSERT_TRUE(GetIconInfo(icon, &first)) << c.name;
        ASSERT_TRUE(GetIconInfo(icon, &second)) << c.name;
        EXPECT_EQ(first.fIcon, c.isIcon) << c.name;
        EXPECT_EQ(static_cast<LONG>(first.xHotspot), c.hotspot.x) << c.name;
        EXPECT_EQ(static_cast<LONG>(first.yHotspot), c.hotspot.y) << c.name;
        EXPECT_NE(first.hbmMask, c.mask) << "new bitmaps, not the caller's: " << c.name;
        EXPECT_NE(first.hbmMask, second.hbmMask) << c.name;
        EXPECT_EQ(bitsOf(first.hbmMask), bitsOf(c.mask)) << c.name;
        BITMAP maskInfo {};
        GetObjectA(first.hbmMask, sizeof maskInfo, &maskInfo);
        EXPECT_EQ(maskInfo.bmHeight, c.maskHeight) << c.name;
        EXPECT_EQ(first.hbmColor == nullptr, c.colour == nullptr) << c.name;
        if (c.colour) {
            EXPECT_EQ(bitsOf(first.hbmColor), bitsOf(c.colour)) << c.name;
        }
        for (const ICONINFO& given : { first, second }) {
            EXPECT_TRUE(DeleteObject(given.hbmMask));
            if (given.hbmColor) {
                EXPECT_TRUE(DeleteObject(given.hbmColor));
            }
        }
        EXPECT_TRUE(DestroyIcon(icon)) << c.name;
    }

    // The icon keeps copies: the caller's bitmaps may go at once.
    ICONINFO info { TRUE, 0, 0, mask, colour };
    HICON icon = CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);
    DeleteObject(colour);
    EXPECT_TRUE(describe(icon));
    DestroyIcon(icon);

    struct Refused {
        const char* name;
        HBITMAP mask, colour;
    };
    const Refused refused[] = {
        { "no mask", nullptr, nullptr },
        { "deleted mask", mask, nullptr },
        { "odd monochrome height", filledBitmap(8, 7, 1, 0), nullptr },
        { "deleted colour", monoMasks, colour },
    };
    for (const Refused& r : refused) {
        ICONINFO bad { TRUE, 0, 0, r.mask, r.colour };
        SetLastError(0);
        EXPECT_EQ(CreateIconIndirect(&bad), nullptr) << r.name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << r.name;
        if (r.mask != mask && r.mask != monoMasks && r.mask)
            DeleteObject(r.mask);
    }
    EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
    DeleteObject(monoMasks);
    EXPECT_EQ(winapi::host::liveGdiObjects(), liveObjects);
}

TEST(Icons, SetCursorRecordsTheCursorShown)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    SetCursor(nullptr);
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(winapi::host::currentCursor(), arrow);
    EXPECT_EQ(SetCursor(wait), arrow);
    EXPECT_EQ(GetCursor(), wait);

    SetLastError(0);
    HCURSOR gone = static_cast<HCURSOR>(LoadImageA(nullptr, IDC_CROSS, IMAGE_CURSOR, 0, 0, 0));
    DestroyCursor(gone);
    EXPECT_EQ(SetCursor(gone), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
    EXPECT_EQ(winapi::host::currentCursor(), wait) << "a refused cursor changes nothing";

    HCURSOR own = static_cast<HCURSOR>(LoadImageA(nullptr, IDC_CROSS, IMAGE_CURSOR, 0, 0, 0));
    EXPECT_EQ(SetCursor(own), wait);
    EXPECT_TRUE(DestroyCursor(own));
    EXPECT_EQ(winapi::host::currentCursor(), nullptr) << "a destroyed cursor is no longer shown";
    EXPECT_EQ(SetCursor(arrow), nullptr);
    SetCursor(nullptr);
}

TEST(Icons, ArmedFailuresCarryTheirCodes)
{
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    ICONINFO info {};
    HBITMAP mask = CreateBitmap(4, 8, 1, 1, nullptr);
    ICONINFO fromMask { TRUE, 0, 0, mask, nullptr };
    struct Case {
        const char* operation;
        std::function<bool()> fails;
    };
    const Case cases[] = {
        { "LoadIconA", [] { return LoadIconA(nullptr, IDI_APPLICATION) == nullptr; } },
        { "LoadCursorA", [] { return LoadCursorA(nullptr, IDC_ARROW) == nullptr; } },
        { "LoadImageA", [] { return LoadImageA(nullptr, IDI_HAND, IMAGE_ICON, 0, 0, LR_SHARED) == nullptr; } },
        { "CopyImage", [&] { return CopyImage(icon, IMAGE_ICON, 0, 0, LR_COPYRETURNORG) == nullptr; } },
        { "GetIconInfo", [&] { return GetIconInfo(icon, &info) == FALSE; } },
        { "CreateIconIndirect", [&] { return CreateIconIndirect(&fromMask) == nullptr; } },
        { "DestroyIcon", [&] { return DestroyIcon(icon) == FALSE; } },
    };
    for (const Case& c : cases) {
        winapi::host::ScopedFailure failure(c.operation, 1, ERROR_NOT_ENOUGH_MEMORY);
        SetLastError(0);
        EXPECT_TRUE(c.fails()) << c.operation;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << c.operation;
        EXPECT_EQ(winapi::host::pendingFailures(c.operation), 0U) << c.operation;
    }
    DeleteObject(mask);
}

}
