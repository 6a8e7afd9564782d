// The pixel storage of a bitmap in the platform's device-dependent layout:
// rows from top to bottom, each padded to a 16-bit boundary, monochrome
// rows most significant bit first (0 black, 1 white), colour pixels as
// blue, green, red and a fourth byte that 32-bit images use as alpha.
// Bitmaps, icons, cursors, the clipboard and device contexts share it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace winapi::gdi {

class Pixmap {
public:
    // The largest pixel storage one bitmap may hold, so that a request the
    // platform could not commit either fails instead of exhausting memory.
    static constexpr std::size_t largestStorage = std::size_t { 1 } << 28;

    static bool supportedDepth(unsigned bitsPixel);
    static int rowBytes(int width, unsigned bitsPixel);
    // A zeroed (black) image, or nothing when the measures are unusable or
    // too large.
    static std::optional<Pixmap> make(int width, int height, unsigned bitsPixel);

    int width() const { return m_width; }
    int height() const { return m_height; }
    WORD bitsPixel() const { return m_bitsPixel; }
    int widthBytes() const { return m_widthBytes; }
    bool monochrome() const { return m_bitsPixel == 1; }
    std::vector<BYTE>& bits() { return m_bits; }
    const std::vector<BYTE>& bits() const { return m_bits; }

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Colours as COLORREF values; a point outside the image reads black and
    // ignores writes. Writing to a monochrome image picks the nearer of
    // black and white by brightness.
    COLORREF pixel(int x, int y) const;
    void setPixel(int x, int y, COLORREF colour);
    // The fourth byte of a 32-bit pixel (0 for other depths).
    BYTE alpha(int x, int y) const;
    void setPixelWithAlpha(int x, int y, COLORREF colour, BYTE alpha);

    // A copy in another depth and size: scaled by nearest pixel, colours
    // converted through COLORREF values.
    std::optional<Pixmap> converted(int width, int height, unsigned bitsPixel) const;

private:
    int m_width { 0 };
    int m_height { 0 };
    WORD m_bitsPixel { 1 };
    int m_widthBytes { 0 };
    std::vector<BYTE> m_bits;
};

// The brightness test that turns a colour into a monochrome pixel.
bool isLightColour(COLORREF colour);

}
