// Drawing-object wrappers against the layer's object store: creation with
// retries, ownership, equality, bitmap measures and copies, palette entries.
#include <wivel/dc.h>
#include <wivel/gdiobject.h>

#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include "ReleaseChecked.h"

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using wivel::Bitmap;
using wivel::Brush;
using wivel::Colour;
using wivel::GDIObject;
using wivel::Palette;
using wivel::PaletteEntry;

// A platform object is alive while the store still describes it.
bool alive(HGDIOBJ handle) { return GetObjectA(handle, 0, nullptr) != 0; }

class DrawingObjects : public ReleaseChecked { };

struct Creator {
    const char* call;
    const char* kind;
    std::function<std::unique_ptr<GDIObject>()> make;
};

std::vector<Creator> creators()
{
    static const LOGFONTA font = [] {
        LOGFONTA description {};
        description.lfHeight = -11;
        std::strcpy(description.lfFaceName, "MS Sans Serif");
        return description;
    }();
    static const std::vector<PaletteEntry> entries { { 1, 2, 3, 0 } };
    return {
        { "CreateSolidBrush", "brush", [] { return std::make_unique<Brush>(Colour(10, 20, 30)); } },
        { "CreatePen", "pen", [] { return std::make_unique<wivel::Pen>(PS_SOLID, 1, Colour(10, 20, 30)); } },
        { "CreateBitmap", "bitmap", [] { return std::make_unique<Bitmap>(8, 8, 1, 1, nullptr); } },
        { "CreatePalette", "palette", [] { return std::make_unique<Palette>(entries); } },
        { "CreateFontIndirectA", "font", [] { return std::make_unique<wivel::Font>(font); } },
    };
}

// Up to two failed attempts are retried; the third failure is reported.
TEST_F(DrawingObjects, CreationRetriesTwice)
{
    for (const Creator& creator : creators()) {
        for (const unsigned failures : { 0u, 1u, 2u, 3u, 4u }) {
            winapi::host::failNext(creator.call, failures, ERROR_NOT_ENOUGH_MEMORY);
            const std::string label = std::string(creator.call) + " failing " + std::to_string(failures) + " times";
            if (failures < 3) {
                const auto made = creator.make();
                EXPECT_TRUE(made->owned()) << label;
                EXPECT_TRUE(alive(made->handle())) << label;
            } else {
                try {
                    creator.make();
                    ADD_FAILURE() << label << ": no exception";
                } catch (const wivel::GDIObjectException& e) {
                    EXPECT_EQ(std::string(e.what()),
                        std::string("Could not create ") + creator.kind + " - possibly low system resources")
                        << label;
                }
            }
            EXPECT_EQ(winapi::host::pendingFailures(creator.call), failures > 3 ? failures - 3 : 0) << label;
            winapi::host::clearFailures();
        }
    }
}

TEST_F(DrawingObjects, OwnershipDecidesDeletion)
{
    const HBRUSH handle = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(handle, nullptr);
    std::make_unique<Brush>(handle, false).reset();
    EXPECT_TRUE(alive(handle)) << "a borrowed handle is left alone";
    std::make_unique<Brush>(handle, true).reset();
    EXPECT_FALSE(alive(handle)) << "an owned handle is deleted";

    EXPECT_THROW(Brush(static_cast<HBRUSH>(nullptr), false), wivel::AssertionFailure);
}

TEST_F(DrawingObjects, EqualityByHandle)
{
    const Brush owner(Colour(5, 6, 7));
    const Brush other(static_cast<HBRUSH>(owner.handle()), false);
    const Brush different(Colour(5, 6, 7));
    const wivel::DCState notDrawing;

    EXPECT_TRUE(owner.equals(&other));
    EXPECT_TRUE(owner == other);
    EXPECT_EQ(owner.toHash(), other.toHash());
    EXPECT_FALSE(owner.equals(&different));
    EXPECT_FALSE(owner.equals(static_cast<const GDIObject*>(nullptr)));
    EXPECT_FALSE(owner.equals(static_cast<const wivel::Object*>(nullptr)));
    EXPECT_FALSE(owner.equals(&notDrawing));
}

TEST_F(DrawingObjects, BitmapMeasures)
{
    struct Case {
        std::int32_t width, height;
        UINT bitsPerPixel;
    };
    for (const Case c : { Case { 100, 50, 32 }, Case { 33, 7, 1 }, Case { 1, 1, 32 } }) {
        const Bitmap made(c.width, c.height, 1, c.bitsPerPixel, nullptr);
        const Bitmap wrapped(static_cast<HBITMAP>(made.handle()), false);
        for (const Bitmap* bitmap : { &made, &wrapped }) {
            EXPECT_EQ(bitmap->width(), c.width);
            EXPECT_EQ(bitmap->height(), c.height);
            EXPECT_EQ(bitmap->size(), wivel::Size(c.width, c.height));
            EXPECT_EQ(bitmap->info().bmBitsPixel, c.bitsPerPixel);
        }
    }
}

// The platform answers a copy request with LR_COPYRETURNORG by handing back
// the bitmap itself; the copy must still have a bitmap of its own.
TEST_F(DrawingObjects, BitmapCopiesAreIndependent)
{
    auto source = std::make_unique<Bitmap>(20, 10, 1, 32, nullptr);
    const auto copy = source->duplicate();
    EXPECT_TRUE(copy->owned());
    EXPECT_NE(copy->handle(), source->handle());
    EXPECT_EQ(copy->size(), source->size());
    source.reset();
    EXPECT_TRUE(alive(copy->handle()));
}

TEST_F(DrawingObjects, ClipboardHandover)
{
    const std::vector<PaletteEntry> entries { { 1, 2, 3, 0 } };
    struct Case {
        const char* name;
        std::function<std::unique_ptr<GDIObject>()> make;
        UINT format;
    };
    const Case cases[] {
        { "bitmap", [] { return std::make_unique<Bitmap>(4, 4, 1, 1, nullptr); }, CF_BITMAP },
        { "palette", [&] { return std::make_unique<Palette>(entries); }, CF_PALETTE },
    };
    for (const Case& c : cases) {
        const auto object = c.make();
        auto& data = dynamic_cast<wivel::ClipboardData&>(*object);
        EXPECT_EQ(data.clipboardHandle(CF_TEXT, false), object->handle()) << c.name;
        EXPECT_TRUE(object->owned()) << c.name << ": lending keeps ownership";
        EXPECT_THROW(data.clipboardHandle(CF_TEXT, true), wivel::AssertionFailure) << c.name;
        EXPECT_TRUE(object->owned()) << c.name;
        EXPECT_EQ(data.clipboardHandle(c.format, true), object->handle()) << c.name;
        EXPECT_FALSE(object->owned()) << c.name << ": the clipboard owns it now";
        DeleteObject(object->handle());
    }
}

class Palettes : public DrawingObjects {
protected:
    const std::vector<PaletteEntry> m_entries { { 10, 20, 30, 0 }, { 200, 100, 50, PC_RESERVED }, { 0, 0, 255, 0 },
        { 255, 255, 255, 0 }, { 0, 0, 0, 0 } };
};

TEST_F(Palettes, EntriesRoundTrip)
{
    Palette palette(std::span<const PaletteEntry>(m_entries).first(3));
    EXPECT_EQ(palette.length(), 3U);
    EXPECT_EQ(palette.entries(), std::vector<PaletteEntry>(m_entries.begin(), m_entries.begin() + 3));
    for (UINT k = 0; k < 3; ++k)
        EXPECT_EQ(palette.entry(k), palette.entries(k, k + 1).front()) << k;

    const Palette wrapped(static_cast<HPALETTE>(palette.handle()), false);
    EXPECT_EQ(wrapped.length(), 3U) << "counted by the platform";

    EXPECT_EQ(palette.setEntry({ 7, 8, 9, 0 }, 2), PaletteEntry(7, 8, 9, 0));
    EXPECT_EQ(palette.entry(2), PaletteEntry(7, 8, 9, 0));
    EXPECT_EQ(palette.setColour(Colour(1, 2, 3), 1), PaletteEntry(1, 2, 3, PC_RESERVED));
    EXPECT_EQ(palette.entry(1), PaletteEntry(1, 2, 3, PC_RESERVED)) << "the flags stay";

    const std::vector<PaletteEntry> two { { 4, 4, 4, 0 }, { 5, 5, 5, 0 } };
    palette.setEntries(two, 1, 3);
    EXPECT_EQ(palette.entries(1, 3), two);
    EXPECT_TRUE(palette.entries(2, 2).empty());
    EXPECT_THROW(palette.entries(2, 1), wivel::RangeError);

    const auto copy = palette.duplicate();
    EXPECT_NE(copy->handle(), palette.handle());
    EXPECT_EQ(copy->entries(), palette.entries());
}

TEST_F(Palettes, Preconditions)
{
    Palette palette(m_entries);
    const std::vector<PaletteEntry> three(3);
    EXPECT_THROW(palette.setEntries(three, 2, 4), wivel::AssertionFailure);
    EXPECT_THROW(Palette(std::span<const PaletteEntry>()), wivel::AssertionFailure);
    const std::vector<PaletteEntry> tooMany(0x10000);
    EXPECT_THROW(Palette { tooMany }, wivel::AssertionFailure);
}

TEST_F(Palettes, NearestColour)
{
    const Palette palette(m_entries);
    EXPECT_EQ(palette.nearestIndex(Colour(250, 250, 240)), 3U);
    EXPECT_EQ(palette.nearestColour(Colour(250, 250, 240)), Colour(255, 255, 255));
    EXPECT_EQ(palette.nearestIndex(Colour(0, 10, 240)), 2U);
}

TEST_F(Palettes, PlatformFailuresAreNamed)
{
    Palette palette(m_entries);
    struct Case {
        const char* call;
        std::function<void()> operation;
        const char* reportedCall;
        const char* reportedOperation;
    };
    const Case cases[] {
        { "GetPaletteEntries", [&] { palette.entries(); }, "GetPaletteEntries", "Palette.opSlice" },
        { "GetPaletteEntries", [&] { palette.entry(1); }, "GetPaletteEntries", "Palette.opSlice" },
        { "SetPaletteEntries", [&] { palette.setEntry({}, 1); }, "SetPaletteEntries", "Palette.opIndexAssign" },
        { "SetPaletteEntries", [&] { palette.setEntries(m_entries); }, "SetPaletteEntries", "Palette.opSliceAssign" },
        { "GetNearestPaletteIndex", [&] { palette.nearestIndex(Colour()); }, "GetNearestPaletteIndex",
            "Palette.nearestIndex" },
        { "GetNearestPaletteIndex", [&] { palette.nearestColour(Colour()); }, "GetNearestColor",
            "Palette.nearestColour" },
    };
    for (const Case& c : cases) {
        winapi::host::failNext(c.call, 1, ERROR_INVALID_PARAMETER);
        try {
            c.operation();
            ADD_FAILURE() << c.reportedOperation << ": no exception";
        } catch (const wivel::DefinedAPIException& e) {
            EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
            const std::string expected = std::string("Exception 87 in Windows API call ") + c.reportedCall + " in "
                + c.reportedOperation + ":\n";
            EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
        }
    }
}

// A failure without a code passes; the reads then yield zeroed entries.
TEST_F(Palettes, FailuresWithoutCodeYieldZeroes)
{
    const Palette palette(m_entries);
    winapi::host::failNext("GetPaletteEntries", 1, 0);
    EXPECT_EQ(palette.entries(0, 2), std::vector<PaletteEntry>(2));
    winapi::host::failNext("GetNearestPaletteIndex", 1, 0);
    EXPECT_EQ(palette.nearestColour(Colour(255, 255, 255)), Colour());
}

TEST_F(DrawingObjects, FontDescription)
{
    LOGFONTA description {};
    description.lfHeight = -11;
    description.lfWeight = FW_BOLD;
    std::strcpy(description.lfFaceName, "MS Sans Serif");
    const wivel::Font made(description);
    EXPECT_EQ(made.info().lfWeight, FW_BOLD);
    EXPECT_STREQ(made.info().lfFaceName, "MS Sans Serif");

    const wivel::Font wrapped(static_cast<HFONT>(made.handle()), false);
    winapi::host::failNext("GetObjectA", 1, ERROR_INVALID_HANDLE);
    EXPECT_THROW(wrapped.info(), wivel::DefinedAPIException) << "read on first need";
    EXPECT_EQ(wrapped.info().lfHeight, -11);
    winapi::host::failNext("GetObjectA", 1, ERROR_INVALID_HANDLE);
    EXPECT_NO_THROW(wrapped.info()) << "read only once";
}

}
