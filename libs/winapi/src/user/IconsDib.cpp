// Reading device-independent bitmaps out of resource data: the images of
// icons and cursors (colour bits followed by the AND mask, the header
// counting both in its height) and plain RT_BITMAP resources. Rows are
// stored bottom up unless the height is negative, each padded to 32 bits.
#include "user/Icons.h"

#include <cstring>

namespace winapi::icons {
namespace {

class Dib {
public:
    // Reads the header and colour table; `rows` is how many rows of colour
    // bits there are (the header's height, halved for icon images).
    bool read(const BYTE* data, std::size_t size, bool iconImage)
    {
        if (size < sizeof(BITMAPINFOHEADER))
            return false;
        BITMAPINFOHEADER header;
        std::memcpy(&header, data, sizeof header);
        if (header.biSize < sizeof header || header.biSize > size || header.biWidth <= 0 || header.biWidth > 4096
            || header.biHeight == 0 || header.biPlanes != 1 || header.biCompression != BI_RGB)
            return false;
        const WORD bits = header.biBitCount;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
            return false;
        m_width = header.biWidth;
        m_bottomUp = header.biHeight > 0;
        const long long height = header.biHeight > 0 ? header.biHeight : -static_cast<long long>(header.biHeight);
        m_height = static_cast<int>(iconImage ? height / 2 : height);
        if (m_height <= 0 || m_height > 4096)
            return false;
        m_bitCount = bits;
        std::size_t colours = 0;
        if (bits <= 8)
            colours = header.biClrUsed && header.biClrUsed < (1u << bits) ? header.biClrUsed : (1u << bits);
        std::size_t offset = header.biSize;
        if (offset + colours * sizeof(RGBQUAD) > size)
            return false;
        m_colours.resize(colours);
        std::memcpy(m_colours.data(), data + offset, colours * sizeof(RGBQUAD));
        offset += colours * sizeof(RGBQUAD);
        m_stride = rowBytes(m_width, bits);
        const std::size_t colourBytes = m_stride * static_cast<std::size_t>(m_height);
        const std::size_t maskBytes = iconImage ? rowBytes(m_width, 1) * static_cast<std::size_t>(m_height) : 0;
        if (offset + colourBytes + maskBytes > size)
            return false;
        m_bits = data + offset;
        m_mask = iconImage ? data + offset + colourBytes : nullptr;
        return true;
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    WORD bitCount() const { return m_bitCount; }

    COLORREF colour(int x, int y, BYTE& alpha) const
    {
        const BYTE* row = m_bits + m_stride * static_cast<std::size_t>(m_bottomUp ? m_height - 1 - y : y);
        alpha = 0;
        switch (m_bitCount) {
        case 1:
            return tableColour((row[x / 8] >> (7 - x % 8)) & 1);
        case 4:
            return tableColour((row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F);
        case 8:
            return tableColour(row[x]);
        case 24:
            return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
        default:
            alpha = row[x * 4 + 3];
            return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
        }
    }

    // True where the AND mask lets the screen show through.
    bool transparent(int x, int y) const
    {
        const BYTE* row = m_mask + rowBytes(m_width, 1) * static_cast<std::size_t>(m_bottomUp ? m_height - 1 - y : y);
        return (row[x / 8] >> (7 - x % 8)) & 1;
    }

private:
    static std::size_t rowBytes(int width, unsigned bits)
    {
        return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    }

    COLORREF tableColour(unsigned index) const
    {
        if (index >= m_colours.size())
            return RGB(0, 0, 0);
        const RGBQUAD& quad = m_colours[index];
        return RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue);
    }

    int m_width { 0 };
    int m_height { 0 };
    bool m_bottomUp { true };
    WORD m_bitCount { 0 };
    std::vector<RGBQUAD> m_colours;
    std::size_t m_stride { 0 };
    const BYTE* m_bits { nullptr };
    const BYTE* m_mask { nullptr };
};

constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF black = RGB(0, 0, 0);

std::optional<IconImage> decode(const Dib& dib)
{
    const int w = dib.width();
    const int h = dib.height();
    IconImage image;
    if (dib.bitCount() == 1) {
        // A 1-bit image stays monochrome: AND mask above XOR mask.
        std::optional<gdi::Pixmap> masks = gdi::Pixmap::make(w, h * 2, 1);
        if (!masks)
            return std::nullopt;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                BYTE alpha;
                masks->setPixel(x, y, dib.transparent(x, y) ? white : black);
                masks->setPixel(x, y + h, dib.colour(x, y, alpha));
            }
        }
        image.mask = std::move(*masks);
        return image;
    }
    std::optional<gdi::Pixmap> colour = gdi::Pixmap::make(w, h, 32);
    std::optional<gdi::Pixmap> mask = gdi::Pixmap::make(w, h, 1);
    if (!colour || !mask)
        return std::nullopt;
    bool hasAlpha = false;
    for (int y = 0; y < h && !hasAlpha; ++y) {
        for (int x = 0; x < w && !hasAlpha; ++x) {
            BYTE alpha;
            dib.colour(x, y, alpha);
            hasAlpha = alpha != 0;
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            BYTE alpha;
            COLORREF value = dib.colour(x, y, alpha);
            if (hasAlpha) {
                const auto premultiply = [alpha](BYTE c) { return static_cast<BYTE>((c * alpha + 127) / 255); };
                value = RGB(premultiply(GetRValue(value)), premultiply(GetGValue(value)), premultiply(GetBValue(value)));
            } else {
                alpha = 0;
            }
            colour->setPixelWithAlpha(x, y, value, alpha);
            mask->setPixel(x, y, dib.transparent(x, y) ? white : black);
        }
    }
    image.mask = std::move(*mask);
    image.colour = std::move(colour);
    return image;
}

}

std::optional<IconImage> decodeIconResource(const BYTE* data, std::size_t size, bool cursor, int width, int height)
{
    POINT hotspot { 0, 0 };
    if (cursor) {
        if (size < 4) {
            SetLastError(ERROR_INVALID_DATA);
            return std::nullopt;
        }
        hotspot = { data[0] | data[1] << 8, data[2] | data[3] << 8 };
        data += 4;
        size -= 4;
    }
    Dib dib;
    std::optional<IconImage> image;
    if (dib.read(data, size, true))
        image = decode(dib);
    if (!image) {
        SetLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
    image->isIcon = !cursor;
    const int nativeWidth = dib.width();
    const int nativeHeight = dib.height();
    if (width <= 0)
        width = nativeWidth;
    if (height <= 0)
        height = nativeHeight;
    image->hotspot = cursor ? POINT { hotspot.x * width / nativeWidth, hotspot.y * height / nativeHeight }
                            : POINT { width / 2, height / 2 };
    if (width != nativeWidth || height != nativeHeight) {
        const int maskHeight = image->colour ? height : height * 2;
        std::optional<gdi::Pixmap> mask = image->mask.converted(width, maskHeight, 1);
        std::optional<gdi::Pixmap> colour;
        if (image->colour)
            colour = image->colour->converted(width, height, 32);
        if (!mask || (image->colour && !colour)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return std::nullopt;
        }
        image->mask = std::move(*mask);
        image->colour = std::move(colour);
    }
    return image;
}

std::optional<gdi::Pixmap> decodeBitmapResource(const BYTE* data, std::size_t size, bool monochrome)
{
    Dib dib;
    if (!dib.read(data, size, false)) {
        SetLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
    std::optional<gdi::Pixmap> pixels
        = gdi::Pixmap::make(dib.width(), dib.height(), monochrome || dib.bitCount() == 1 ? 1 : 32);
    if (!pixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
    for (int y = 0; y < dib.height(); ++y) {
        for (int x = 0; x < dib.width(); ++x) {
            BYTE alpha;
            pixels->setPixel(x, y, dib.colour(x, y, alpha));
        }
    }
    return pixels;
}

}
