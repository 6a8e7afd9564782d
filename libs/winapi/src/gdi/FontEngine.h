// Fonts as the rest of the layer uses them: the measures of a font object
// and the width of a text in it, for the dialog manager's base units and
// the controls' layout. A font object is made by CreateFontIndirectA; the
// face is found with fontconfig and rendered with FreeType.
#pragma once

#include <windows.h>

#include <string_view>

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

// The advance width in pixels of Windows-1252 text in the font (0 for a
// handle that is not a live font).
int textWidth(HFONT font, std::string_view text);

// The font that windows use when none was set (the stock SYSTEM_FONT).
HFONT systemFont();

}
