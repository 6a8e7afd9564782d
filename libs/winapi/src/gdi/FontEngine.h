// Fonts as the rest of the layer uses them: the measures of a font object
// and the width of a text in it, for the dialog manager's base units and
// the controls' layout, and the rendering of text for device contexts and
// controls. A font object is made by CreateFontIndirectA; the face is
// found with fontconfig and rendered with FreeType. Texts are Windows-1252
// bytes. Every call is thread-safe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace winapi::gdi {

struct FontMeasures {
    int height { 0 }; // ascent + descent, in pixels
    int ascent { 0 };
    int descent { 0 };
    int internalLeading { 0 };
    int externalLeading { 0 };
    int averageCharWidth { 0 };
    int maxCharWidth { 0 };
};

// The measures of a font object; false for a handle that is not a live font.
bool fontMeasures(HFONT font, FontMeasures& measures);

// The platform's full description of a font's measures (GetTextMetricsA);
// false for a handle that is not a live font.
bool textMetrics(HFONT font, TEXTMETRICA& metrics);

// The advance width in pixels of Windows-1252 text in the font (0 for a
// handle that is not a live font). Widths add up: no kerning is applied,
// so the width of a text is the sum of the widths of its characters.
int textWidth(HFONT font, std::string_view text);

// The advance width of each character of the text, in order (empty for a
// handle that is not a live font).
std::vector<int> characterWidths(HFONT font, std::string_view text);

// The font that windows use when none was set (the stock SYSTEM_FONT).
HFONT systemFont();

// A text's ink as 8-bit coverage (0 none, 255 full), one byte a pixel,
// rows top to bottom. The box spans the text's advance from the pen's
// start and the font's height from the top of its ascent, widened where
// ink reaches past it (an italic overhang); originX is the pen's start
// within the box and baseline the row of the baseline. Underline and
// strike-out of the font are part of the ink.
struct CoverageMask {
    int width { 0 };
    int height { 0 };
    int originX { 0 };
    int baseline { 0 };
    std::vector<std::uint8_t> coverage;
    std::uint8_t at(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};
bool renderTextMask(HFONT font, std::string_view text, CoverageMask& mask);

// A destination of 32-bit pixels (blue, green, red, and a fourth byte left
// unchanged), `stride` pixels from one row to the next.
struct PixelTarget {
    std::uint32_t* pixels { nullptr };
    int width { 0 };
    int height { 0 };
    int stride { 0 };
};

// Draws the text's ink in the colour, its box's top-left corner of the
// pen's start at (x, y) (the top of the font's ascent), blending by
// coverage, clipped to the target and to `clip` when given. False for a
// handle that is not a live font.
bool drawText(HFONT font, std::string_view text, int x, int y, COLORREF colour, const PixelTarget& target,
    const RECT* clip = nullptr);

}
