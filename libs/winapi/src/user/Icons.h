// Icons and cursors inside the layer: the image an icon handle stands for,
// for the device contexts that draw icons and the host that shows the
// cursor, and the system's own artwork. An icon holds its masks as pixel
// storage of its own, not as bitmap handles: GetIconInfo hands out new
// bitmaps made from them.
#pragma once

#include "gdi/Pixmap.h"

#include <windows.h>

#include <optional>

namespace winapi::icons {

// What an icon or cursor shows. A colour image has a 1-bit AND mask of
// its own size and a 32-bit colour image; where any colour pixel has a
// non-zero fourth byte, that byte is the pixel's alpha and the colours
// are premultiplied by it. A monochrome image has no colour image and a
// mask twice its height: the AND mask above the XOR mask.
struct IconImage {
    bool isIcon { true };
    POINT hotspot { 0, 0 };
    gdi::Pixmap mask;
    std::optional<gdi::Pixmap> colour;

    int width() const { return mask.width(); }
    int height() const { return colour ? colour->height() : mask.height() / 2; }
};

// A copy of the image of a live icon or cursor; nothing for any other
// handle.
std::optional<IconImage> iconImage(HICON icon);

// The system's images (hInstance NULL), drawn at the size asked for:
// IDI_ and IDC_ numbers. Nothing for a number that names none.
std::optional<IconImage> systemIcon(WORD id, int width, int height);
std::optional<IconImage> systemCursor(WORD id, int width, int height);

// An image from the resource data of one RT_ICON or RT_CURSOR entry (a
// DIB with both masks; a cursor's starts with its hotspot), scaled to the
// size asked for. Nothing (with ERROR_INVALID_DATA) for data it cannot read.
std::optional<IconImage> decodeIconResource(const BYTE* data, std::size_t size, bool cursor, int width, int height);

// A bitmap from RT_BITMAP data (a DIB without file header): monochrome
// when its depth is 1 or when asked for, 32-bit otherwise.
std::optional<gdi::Pixmap> decodeBitmapResource(const BYTE* data, std::size_t size, bool monochrome);

}
