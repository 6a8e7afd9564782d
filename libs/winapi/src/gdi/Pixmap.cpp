// Pixel storage of bitmaps: row layout, colour conversion for the depths
// the platform's device-dependent bitmaps have, scaled copies.
#include "gdi/Pixmap.h"

#include <array>
#include <new>

namespace winapi::gdi {
namespace {

// The sixteen colours of a 4-bit image, in the platform's standard order.
constexpr std::array<COLORREF, 16> sixteenColours = {
    RGB(0, 0, 0), RGB(128, 0, 0), RGB(0, 128, 0), RGB(128, 128, 0),
    RGB(0, 0, 128), RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0), RGB(0, 255, 0), RGB(255, 255, 0),
    RGB(0, 0, 255), RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
};

// An 8-bit image indexes a fixed colour cube: six levels of each primary
// (216 entries) followed by a grey ramp. Device-dependent 8-bit images
// have no palette of their own here.
COLORREF cubeColour(unsigned index)
{
    if (index < 216) {
        const auto level = [](unsigned value) { return static_cast<BYTE>(value * 51); };
        return RGB(level(index % 6), level(index / 6 % 6), level(index / 36));
    }
    const auto grey = static_cast<BYTE>((index - 216) * 255 / 39);
    return RGB(grey, grey, grey);
}

int distance(COLORREF a, COLORREF b)
{
    const int red = GetRValue(a) - GetRValue(b);
    const int green = GetGValue(a) - GetGValue(b);
    const int blue = GetBValue(a) - GetBValue(b);
    return red * red + green * green + blue * blue;
}

template<typename Colour>
unsigned nearestIndex(COLORREF colour, unsigned count, Colour&& colourAt)
{
    unsigned best = 0;
    int bestDistance = distance(colour, colourAt(0));
    for (unsigned i = 1; i < count && bestDistance > 0; ++i) {
        const int d = distance(colour, colourAt(i));
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

}

bool isLightColour(COLORREF colour)
{
    // Integer luma weights; mid grey (128) counts as light, as the
    // platform's conversion turns the classic grey shades white.
    const unsigned luma = GetRValue(colour) * 299u + GetGValue(colour) * 587u + GetBValue(colour) * 114u;
    return luma >= 128u * 1000u;
}

bool Pixmap::supportedDepth(unsigned bitsPixel)
{
    return bitsPixel == 1 || bitsPixel == 4 || bitsPixel == 8 || bitsPixel == 16 || bitsPixel == 24
        || bitsPixel == 32;
}

int Pixmap::rowBytes(int width, unsigned bitsPixel)
{
    const auto bits = static_cast<std::int64_t>(width) * bitsPixel;
    return static_cast<int>((bits + 15) / 16 * 2);
}

std::optional<Pixmap> Pixmap::make(int width, int height, unsigned bitsPixel)
{
    if (width <= 0 || height <= 0 || !supportedDepth(bitsPixel) || width > 0x7FFFFFF || height > 0x7FFFFFF)
        return std::nullopt;
    const auto row = static_cast<std::size_t>(rowBytes(width, bitsPixel));
    if (row > largestStorage / static_cast<std::size_t>(height))
        return std::nullopt;
    Pixmap pixmap;
    pixmap.m_width = width;
    pixmap.m_height = height;
    pixmap.m_bitsPixel = static_cast<WORD>(bitsPixel);
    pixmap.m_widthBytes = static_cast<int>(row);
    try {
        pixmap.m_bits.assign(row * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return pixmap;
}

COLORREF Pixmap::pixel(int x, int y) const
{
    if (!contains(x, y))
        return RGB(0, 0, 0);
    const BYTE* row = m_bits.data() + static_cast<std::size_t>(y) * m_widthBytes;
    switch (m_bitsPixel) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    case 4:
        return sixteenColours[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
    case 8:
        return cubeColour(row[x]);
    case 16: {
        const unsigned value = row[x * 2] | row[x * 2 + 1] << 8;
        const auto expand = [](unsigned five) { return static_cast<BYTE>(five << 3 | five >> 2); };
        return RGB(expand(value >> 10 & 31), expand(value >> 5 & 31), expand(value & 31));
    }
    case 24:
        return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    default:
        return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    }
}

void Pixmap::setPixel(int x, int y, COLORREF colour)
{
    setPixelWithAlpha(x, y, colour, 0);
}

BYTE Pixmap::alpha(int x, int y) const
{
    if (m_bitsPixel != 32 || !contains(x, y))
        return 0;
    return m_bits[static_cast<std::size_t>(y) * m_widthBytes + x * 4 + 3];
}

void Pixmap::setPixelWithAlpha(int x, int y, COLORREF colour, BYTE alpha)
{
    if (!contains(x, y))
        return;
    BYTE* row = m_bits.data() + static_cast<std::size_t>(y) * m_widthBytes;
    switch (m_bitsPixel) {
    case 1: {
        const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
        row[x / 8] = isLightColour(colour) ? row[x / 8] | bit : row[x / 8] & ~bit;
        break;
    }
    case 4: {
        const unsigned index = nearestIndex(colour, 16, [](unsigned i) { return sixteenColours[i]; });
        const int shift = x % 2 ? 0 : 4;
        row[x / 2] = static_cast<BYTE>((row[x / 2] & ~(0x0F << shift)) | index << shift);
        break;
    }
    case 8:
        row[x] = static_cast<BYTE>(nearestIndex(colour, 256, cubeColour));
        break;
    case 16: {
        const unsigned value
            = (GetRValue(colour) >> 3) << 10 | (GetGValue(colour) >> 3) << 5 | GetBValue(colour) >> 3;
        row[x * 2] = static_cast<BYTE>(value);
        row[x * 2 + 1] = static_cast<BYTE>(value >> 8);
        break;
    }
    case 24:
        row[x * 3] = GetBValue(colour);
        row[x * 3 + 1] = GetGValue(colour);
        row[x * 3 + 2] = GetRValue(colour);
        break;
    default:
        row[x * 4] = GetBValue(colour);
        row[x * 4 + 1] = GetGValue(colour);
        row[x * 4 + 2] = GetRValue(colour);
        row[x * 4 + 3] = alpha;
        break;
    }
}

std::optional<Pixmap> Pixmap::converted(int width, int height, unsigned bitsPixel) const
{
    std::optional<Pixmap> result = make(width, height, bitsPixel);
    if (!result)
        return std::nullopt;
    if (width == m_width && height == m_height && bitsPixel == m_bitsPixel) {
        result->m_bits = m_bits;
        return result;
    }
    for (int y = 0; y < height; ++y) {
        const int sourceY = static_cast<int>(static_cast<std::int64_t>(y) * m_height / height);
        for (int x = 0; x < width; ++x) {
            const int sourceX = static_cast<int>(static_cast<std::int64_t>(x) * m_width / width);
            result->setPixelWithAlpha(x, y, pixel(sourceX, sourceY), alpha(sourceX, sourceY));
        }
    }
    return result;
}

}
