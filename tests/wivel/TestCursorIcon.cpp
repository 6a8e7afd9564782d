// Icon and cursor wrappers against the layer's images: sizes from the
// description, read once; copies and who owns them; destruction by kind.
#include <wivel/cursor_icon.h>

#include <windows.h>
#include <winapi/host.h>

#include <gtest/gtest.h>

#include "ReleaseChecked.h"

#include <memory>

namespace {

using wivel::CursorOrIcon;
using wivel::Icon;
using wivel::MouseCursor;

// A new platform image; `colour` false makes a monochrome one whose mask
// holds both masks, one above the other.
HICON makeImage(bool icon, bool colour, int width, int height, DWORD hotspotX = 0, DWORD hotspotY = 0)
{
    const HBITMAP mask = CreateBitmap(width, colour ? height : 2 * height, 1, 1, nullptr);
    const HBITMAP pixels = colour ? CreateBitmap(width, height, 1, 32, nullptr) : nullptr;
    ICONINFO info {};
    info.fIcon = icon ? TRUE : FALSE;
    info.xHotspot = hotspotX;
    info.yHotspot = hotspotY;
    info.hbmMask = mask;
    info.hbmColor = pixels;
    const HICON made = CreateIconIndirect(&info);
    DeleteObject(mask);
    if (pixels)
        DeleteObject(pixels);
    return made;
}

bool alive(HICON image)
{
    ICONINFO info {};
    if (!GetIconInfo(image, &info))
        return false;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return true;
}

class Images : public ReleaseChecked { };

TEST_F(Images, SizesFromTheDescription)
{
    struct Case {
        const char* name;
        bool icon, colour;
        int width, height;
    };
    const Case cases[] {
        { "colour icon", true, true, 32, 32 },
        { "monochrome icon", true, false, 32, 32 },
        { "colour cursor", false, true, 24, 16 },
        { "monochrome cursor", false, false, 32, 16 },
    };
    for (const Case& c : cases) {
        std::unique_ptr<CursorOrIcon> image;
        if (c.icon)
            image = std::make_unique<Icon>(makeImage(true, c.colour, c.width, c.height), true);
        else
            image = std::make_unique<MouseCursor>(makeImage(false, c.colour, c.width, c.height), true);
        EXPECT_EQ(image->size(), wivel::Size(c.width, c.height)) << c.name;
        EXPECT_EQ(image->width(), c.width) << c.name;
        EXPECT_EQ(image->height(), c.height) << c.name;
        ASSERT_NE(image->maskBitmap(), nullptr) << c.name;
        EXPECT_EQ(image->maskBitmap()->height(), c.colour ? c.height : 2 * c.height) << c.name;
        EXPECT_EQ(image->colourBitmap() != nullptr, c.colour) << c.name;
        EXPECT_EQ(image->imageType(), c.icon ? UINT { IMAGE_ICON } : UINT { IMAGE_CURSOR }) << c.name;
    }
}

TEST_F(Images, DescriptionIsReadOnceOnFirstNeed)
{
    MouseCursor cursor(makeImage(false, true, 32, 32, 5, 7), true);
    winapi::host::failNext("GetIconInfo", 1, ERROR_INVALID_CURSOR_HANDLE);
    EXPECT_NE(cursor.handle(), nullptr);
    EXPECT_EQ(winapi::host::pendingFailures("GetIconInfo"), 1U) << "reading the handle leaves the platform alone";
    try {
        cursor.width();
        ADD_FAILURE() << "no exception";
    } catch (const wivel::DefinedAPIException& e) {
        EXPECT_EQ(e.errorCode(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
        const std::string expected = "Exception 1402 in Windows API call GetIconInfo in CursorOrIcon.info:\n";
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
    }

    EXPECT_EQ(cursor.width(), 32);
    winapi::host::failNext("GetIconInfo", 1, ERROR_INVALID_CURSOR_HANDLE);
    EXPECT_EQ(cursor.height(), 32);
    EXPECT_EQ(cursor.hotspot(), wivel::Point(5, 7));
    EXPECT_FALSE(cursor.info().fIcon);
    EXPECT_EQ(winapi::host::pendingFailures("GetIconInfo"), 1U) << "the description is not read again";
}

TEST_F(Images, DescriptionBitmapsBelongToTheWrapper)
{
    auto icon = std::make_unique<Icon>(makeImage(true, true, 16, 16), true);
    const ICONINFO info = icon->info();
    ASSERT_NE(info.hbmMask, nullptr);
    EXPECT_NE(GetObjectA(info.hbmMask, 0, nullptr), 0);
    icon.reset();
    EXPECT_EQ(GetObjectA(info.hbmMask, 0, nullptr), 0) << "the mask went with the wrapper";
    EXPECT_EQ(GetObjectA(info.hbmColor, 0, nullptr), 0) << "the colour bitmap went with the wrapper";
}

TEST_F(Images, EqualityByHandleAcrossKinds)
{
    const Icon icon(makeImage(true, true, 16, 16), true);
    const Icon sameIcon(icon.handle(), false);
    const MouseCursor sameAsCursor(icon.handle(), false);
    const Icon other(makeImage(true, true, 16, 16), true);
    EXPECT_TRUE(icon.equals(&sameIcon));
    EXPECT_TRUE(icon.equals(&sameAsCursor));
    EXPECT_EQ(icon.toHash(), sameAsCursor.toHash());
    EXPECT_FALSE(icon.equals(&other));
    EXPECT_FALSE(icon.equals(nullptr));
}

TEST_F(Images, OwnershipDecidesDestruction)
{
    const HICON borrowed = makeImage(true, true, 16, 16);
    std::make_unique<Icon>(borrowed, false).reset();
    EXPECT_TRUE(alive(borrowed));
    std::make_unique<Icon>(borrowed, true).reset();
    EXPECT_FALSE(alive(borrowed));

    const HCURSOR cursor = makeImage(false, true, 16, 16);
    std::make_unique<MouseCursor>(cursor, true).reset();
    EXPECT_FALSE(alive(cursor));

    EXPECT_THROW(Icon(nullptr, false), wivel::AssertionFailure);
    EXPECT_THROW(MouseCursor(nullptr, true), wivel::AssertionFailure);
}

// duplicate() asks for LR_COPYRETURNORG, and the platform then hands back the
// source's own image; neither object may destroy the other's image.
TEST_F(Images, CopiesOwnImagesOfTheirOwn)
{
    for (const bool icon : { true, false }) {
        std::unique_ptr<CursorOrIcon> source;
        if (icon)
            source = std::make_unique<Icon>(makeImage(true, true, 32, 32), true);
        else
            source = std::make_unique<MouseCursor>(makeImage(false, true, 32, 32), true);
        const auto copy = source->duplicate();
        ASSERT_NE(dynamic_cast<Icon*>(copy.get()) != nullptr, !icon) << "a copy is of its source's kind";
        EXPECT_FALSE(copy->fromResource());
        EXPECT_TRUE(copy->owned()) << "not from a resource, so owned despite LR_COPYFROMRESOURCE";
        EXPECT_NE(copy->handle(), source->handle());
        EXPECT_EQ(copy->size(), source->size());
        const HICON sourceHandle = source->handle();
        source.reset();
        EXPECT_FALSE(alive(sourceHandle));
        EXPECT_TRUE(alive(copy->handle()));
    }
}

TEST_F(Images, SizedCopies)
{
    Icon source(makeImage(true, true, 32, 32), true);
    const auto bySize = source.duplicate(wivel::Size(16, 16), 0, false);
    const auto byMeasures = source.duplicate(16, 16, 0, false);
    EXPECT_EQ(bySize->size(), wivel::Size(16, 16));
    EXPECT_EQ(byMeasures->size(), bySize->size());
    EXPECT_EQ(source.duplicate(0, 24, 0, false)->size(), wivel::Size(32, 24)) << "0 keeps the source's width";

    const auto small = source.smallCopy();
    EXPECT_EQ(small->size(), wivel::Size(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
    EXPECT_TRUE(small->owned());
}

// With LR_COPYDELETEORG the platform destroys the source's image; the source
// must not destroy it a second time.
TEST_F(Images, CopyThatDeletesTheOriginal)
{
    Icon source(makeImage(true, true, 32, 32), true);
    const HICON original = source.handle();
    const auto copy = source.duplicate(16, 16, LR_COPYDELETEORG, false);
    EXPECT_FALSE(alive(original));
    EXPECT_FALSE(source.owned());
    EXPECT_TRUE(alive(copy->handle()));
}

TEST_F(Images, CopyFailuresAreNamed)
{
    Icon source(makeImage(true, true, 32, 32), true);
    winapi::host::failNext("CopyImage", 1, ERROR_NOT_ENOUGH_MEMORY);
    try {
        source.duplicate(16, 16, 0, false);
        ADD_FAILURE() << "no exception";
    } catch (const wivel::DefinedAPIException& e) {
        const std::string expected = "Exception 8 in Windows API call CopyImage in CursorOrIcon.this:\n";
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected);
    }
}

TEST_F(Images, MakeCurrentShowsTheCursor)
{
    MouseCursor cursor(makeImage(false, true, 32, 32), true);
    const HCURSOR before = SetCursor(nullptr);
    cursor.makeCurrent();
    EXPECT_EQ(SetCursor(before), cursor.handle());
}

}
