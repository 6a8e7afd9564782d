// The font engine: a logical font (LOGFONTA) becomes an installed face
// chosen by fontconfig at a pixel size worked out the platform's way, and
// FreeType measures and rasterises its glyphs. Sized faces and their
// Windows-1252 glyphs are cached behind one engine lock; the cache is
// bounded. Without any usable face the engine still answers, with plain
// measures and no ink, so that layout never fails.
#include "gdi/FontEngine.h"

#include "gdi/GdiObjects.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_SYNTHESIS_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <strings.h>
#include <unordered_map>

namespace winapi::gdi {
namespace {

// Bounds that keep the glyph caches small: a sized face holds at most 256
// glyphs, and at most this many sized faces are kept.
constexpr int largestPixelSize = 256;
constexpr std::size_t cachedFonts = 32;
// The cell height of a logical font that asks for none (lfHeight 0).
constexpr int defaultCellHeight = 16;

// Windows-1252 bytes 0x80 to 0x9F; the five the code page leaves undefined
// stay at their own code points, which no face covers.
constexpr std::array<char32_t, 32> windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t codePoint(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? windows1252High[c - 0x80] : c;
}

// The faces that the platform's programs name, mapped to the installed
// face with the nearest metrics. Of the fonts the project installs,
// Liberation Sans fits "MS Sans Serif" 8 pt best: at 11 pixels to the em
// it is 13 pixels high (10 up, 3 down, like the original's cell) and its
// letters average 6.4 pixels, so dialog base units come out at the
// original's 6 by 13. DejaVu Sans at the same size is 14 pixels high and
// averages 6.9 pixels, which makes every dialog about a sixth wider.
struct Alias {
    const char* name;
    const char* family;
};
constexpr Alias aliases[] = {
    { "MS Sans Serif", "Liberation Sans" },
    { "MS Shell Dlg", "Liberation Sans" },
    { "MS Shell Dlg 2", "Liberation Sans" },
    { "Microsoft Sans Serif", "Liberation Sans" },
    { "System", "Liberation Sans" },
    { "Tahoma", "Liberation Sans" },
    { "Verdana", "Liberation Sans" },
    { "Segoe UI", "Liberation Sans" },
    { "Arial", "Liberation Sans" },
    { "Helv", "Liberation Sans" },
    { "Helvetica", "Liberation Sans" },
    { "Courier", "Liberation Mono" },
    { "Courier New", "Liberation Mono" },
    { "Fixedsys", "Liberation Mono" },
    { "Terminal", "Liberation Mono" },
    { "Lucida Console", "Liberation Mono" },
    { "Consolas", "Liberation Mono" },
    { "MS Serif", "Liberation Serif" },
    { "Tms Rmn", "Liberation Serif" },
    { "Times New Roman", "Liberation Serif" },
};

bool fixedPitch(const LOGFONTA& font)
{
    return (font.lfPitchAndFamily & 0x03) == FIXED_PITCH || (font.lfPitchAndFamily & 0xF0) == FF_MODERN;
}

const char* genericFamily(const LOGFONTA& font)
{
    if (fixedPitch(font))
        return "monospace";
    return (font.lfPitchAndFamily & 0xF0) == FF_ROMAN ? "serif" : "sans-serif";
}

std::string faceNameOf(const LOGFONTA& font)
{
    return std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
}

int requestedWeight(const LOGFONTA& font)
{
    return font.lfWeight <= 0 ? FW_NORMAL : std::min<int>(font.lfWeight, 1000);
}

struct FaceFile {
    std::string path;
    int index { 0 };
    bool bold { false };
    bool italic { false };
};

std::optional<FaceFile> matchFace(const LOGFONTA& font)
{
    std::string family = faceNameOf(font);
    for (const Alias& alias : aliases) {
        if (strcasecmp(alias.name, family.c_str()) == 0)
            family = alias.family;
    }
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return std::nullopt;
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(genericFamily(font)));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(requestedWeight(font)));
    FcPatternAddInteger(pattern, FC_SLANT, font.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (fixedPitch(font))
        FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return std::nullopt;
    std::optional<FaceFile> face;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
        face.emplace();
        face->path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &face->index);
        int weight = FC_WEIGHT_REGULAR;
        int slant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &slant);
        face->bold = weight >= FC_WEIGHT_DEMIBOLD;
        face->italic = slant != FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return face;
}

struct Glyph {
    int advance { 0 };
    int left { 0 };
    int top { 0 };
    int width { 0 };
    int rows { 0 };
    std::vector<std::uint8_t> coverage;
};

int scaled(long units, int pixels, int unitsPerEm, bool up)
{
    const double value = static_cast<double>(units) * pixels / unitsPerEm;
    return static_cast<int>(up ? std::ceil(value - 1e-6) : std::lround(value));
}

class SizedFont {
public:
    SizedFont(const LOGFONTA& font, FT_Library library)
        : m_underline(font.lfUnderline != 0)
        , m_strikeOut(font.lfStrikeOut != 0)
        , m_mono(font.lfQuality == NONANTIALIASED_QUALITY)
    {
        const std::optional<FaceFile> file = matchFace(font);
        if (library && file && FT_New_Face(library, file->path.c_str(), file->index, &m_face) != 0)
            m_face = nullptr;
        if (m_face && !FT_IS_SCALABLE(m_face)) {
            FT_Done_Face(m_face);
            m_face = nullptr;
        }
        if (m_face) {
            m_embolden = requestedWeight(font) >= FW_SEMIBOLD && !file->bold;
            m_oblique = font.lfItalic && !file->italic;
        }
        size(font);
    }
    ~SizedFont()
    {
        if (m_face)
            FT_Done_Face(m_face);
    }
    SizedFont(const SizedFont&) = delete;
    SizedFont& operator=(const SizedFont&) = delete;

    const FontMeasures& measures() const { return m_measures; }

    const Glyph& glyph(unsigned char c)
    {
        std::unique_ptr<Glyph>& slot = m_glyphs[c];
        if (!slot)
            slot = load(c);
        return *slot;
    }

    // Calls ink(x, y, coverage) for every inked pixel of the text, relative
    // to the pen's start at the top of the ascent.
    template<typename Ink>
    int forEachInk(std::string_view text, Ink&& ink)
    {
        int pen = 0;
        for (const char c : text) {
            const Glyph& g = glyph(static_cast<unsigned char>(c));
            const int left = pen + g.left;
            const int top = m_measures.ascent - g.top;
            for (int row = 0; row < g.rows; ++row) {
                for (int column = 0; column < g.width; ++column) {
                    const std::uint8_t value = g.coverage[static_cast<std::size_t>(row) * g.width + column];
                    if (value)
                        ink(left + column, top + row, value);
                }
            }
            pen += g.advance;
        }
        const auto line = [&](int top, int thickness) {
            for (int row = top; row < top + thickness; ++row) {
                for (int column = 0; column < pen; ++column)
                    ink(column, row, std::uint8_t { 255 });
            }
        };
        if (m_underline)
            line(m_underlineRow, m_lineThickness);
        if (m_strikeOut)
            line(m_strikeRow, m_lineThickness);
        return pen;
    }

private:
    void size(const LOGFONTA& font)
    {
        int unitsPerEm = 2048;
        long ascender = 1854;
        long descender = 434;
        long averageWidth = 1187;
        long strikePosition = 0;
        if (m_face) {
            unitsPerEm = m_face->units_per_EM;
            ascender = m_face->ascender;
            descender = -m_face->descender;
            averageWidth = 0;
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
            if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
                ascender = os2->usWinAscent;
                descender = os2->usWinDescent;
                averageWidth = os2->xAvgCharWidth;
                strikePosition = os2->yStrikeoutPosition;
            }
        }
        // A negative height asks for the em size, a positive one for the
        // cell (ascent and descent) of which the em is a part.
        const long cell = ascender + descender > 0 ? ascender + descender : unitsPerEm;
        int pixels = 0;
        if (font.lfHeight < 0)
            pixels = font.lfHeight == LONG_MIN ? largestPixelSize : static_cast<int>(-font.lfHeight);
        else
            pixels = static_cast<int>(
                std::lround(static_cast<double>(font.lfHeight == 0 ? defaultCellHeight : font.lfHeight)
                    * unitsPerEm / cell));
        pixels = std::clamp(pixels, 1, largestPixelSize);
        int widthPixels = pixels;
        if (font.lfWidth != 0 && averageWidth > 0) {
            const double wanted = std::abs(static_cast<double>(font.lfWidth));
            widthPixels = std::clamp(static_cast<int>(std::lround(wanted * unitsPerEm / averageWidth)), 1,
                largestPixelSize);
        }
        if (m_face && FT_Set_Pixel_Sizes(m_face, static_cast<FT_UInt>(widthPixels), static_cast<FT_UInt>(pixels)) != 0) {
            FT_Done_Face(m_face);
            m_face = nullptr;
        }

        FontMeasures& m = m_measures;
        m.ascent = scaled(ascender, pixels, unitsPerEm, true);
        m.descent = scaled(descender, pixels, unitsPerEm, true);
        m.height = m.ascent + m.descent;
        m.internalLeading = std::max(0, m.height - pixels);
        m.externalLeading = 0;
        if (averageWidth > 0)
            m.averageCharWidth = std::max(1, scaled(averageWidth, widthPixels, unitsPerEm, false));
        else
            m.averageCharWidth = std::max(1, glyph('x').advance);
        m.maxCharWidth = m_face ? static_cast<int>((m_face->size->metrics.max_advance + 32) >> 6)
                                : m.averageCharWidth * 2;
        if (m_embolden)
            m.maxCharWidth += 1;

        m_lineThickness = 1;
        if (m_face && m_face->underline_thickness > 0)
            m_lineThickness = std::max(1, scaled(m_face->underline_thickness, pixels, unitsPerEm, false));
        const long underlineDepth = m_face ? -m_face->underline_position : descender / 2;
        m_underlineRow = std::min(m.height - m_lineThickness,
            m.ascent + std::max(1, scaled(underlineDepth, pixels, unitsPerEm, false)) - m_lineThickness / 2);
        const int strikeHeight = strikePosition > 0 ? scaled(strikePosition, pixels, unitsPerEm, false) : m.ascent / 3;
        m_strikeRow = m.ascent - strikeHeight;
    }

    std::unique_ptr<Glyph> load(unsigned char c)
    {
        auto g = std::make_unique<Glyph>();
        if (!m_face) {
            g->advance = c == ' ' ? m_measures.averageCharWidth : std::max(1, m_measures.averageCharWidth);
            return g;
        }
        const FT_UInt index = FT_Get_Char_Index(m_face, codePoint(c));
        const FT_Int32 flags = FT_LOAD_DEFAULT | (m_mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
        if (FT_Load_Glyph(m_face, index, flags) != 0)
            return g;
        FT_GlyphSlot slot = m_face->glyph;
        if (m_embolden)
            FT_GlyphSlot_Embolden(slot);
        if (m_oblique)
            FT_GlyphSlot_Oblique(slot);
        g->advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, m_mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
            return g;
        const FT_Bitmap& bitmap = slot->bitmap;
        g->left = slot->bitmap_left;
        g->top = slot->bitmap_top;
        g->width = static_cast<int>(bitmap.width);
        g->rows = static_cast<int>(bitmap.rows);
        g->coverage.resize(static_cast<std::size_t>(g->width) * g->rows);
        for (int row = 0; row < g->rows; ++row) {
            const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
            std::uint8_t* target = g->coverage.data() + static_cast<std::size_t>(row) * g->width;
            for (int column = 0; column < g->width; ++column) {
                if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                    target[column] = (source[column / 8] >> (7 - column % 8)) & 1 ? 255 : 0;
                else
                    target[column] = source[column];
            }
        }
        return g;
    }

    FT_Face m_face { nullptr };
    bool m_underline;
    bool m_strikeOut;
    bool m_mono;
    bool m_embolden { false };
    bool m_oblique { false };
    FontMeasures m_measures;
    int m_lineThickness { 1 };
    int m_underlineRow { 0 };
    int m_strikeRow { 0 };
    std::array<std::unique_ptr<Glyph>, 256> m_glyphs;
};

class Engine {
public:
    Engine()
    {
        if (FT_Init_FreeType(&m_library) != 0)
            m_library = nullptr;
        FcInit();
    }
    ~Engine()
    {
        m_fonts.clear();
        if (m_library)
            FT_Done_FreeType(m_library);
        // Gives fontconfig's configuration back at exit, so that leak
        // checks see only the program's own memory.
        FcFini();
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    std::mutex lock;

    // The sized face of a logical font; valid until the next call.
    SizedFont& sized(const LOGFONTA& font)
    {
        // Layout measures one font many times in a row: the last one is
        // found without building its key.
        if (m_last && std::memcmp(&m_lastFont, &font, sizeof font) == 0)
            return *m_last;
        SizedFont& found = lookUp(font);
        m_last = &found;
        m_lastFont = font;
        return found;
    }

private:
    SizedFont& lookUp(const LOGFONTA& font)
    {
        std::string key(reinterpret_cast<const char*>(&font), offsetof(LOGFONTA, lfFaceName));
        std::string face = faceNameOf(font);
        std::transform(face.begin(), face.end(), face.begin(), [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        key += face;
        const auto found = m_fonts.find(key);
        if (found != m_fonts.end())
            return *found->second;
        // A program uses a handful of fonts; when it has used more, the
        // cache starts afresh rather than tracking which are still in use.
        if (m_fonts.size() >= cachedFonts) {
            m_fonts.clear();
            m_last = nullptr;
        }
        auto sizedFont = std::make_unique<SizedFont>(font, m_library);
        SizedFont& result = *sizedFont;
        m_fonts.emplace(std::move(key), std::move(sizedFont));
        return result;
    }

    FT_Library m_library { nullptr };
    std::unordered_map<std::string, std::unique_ptr<SizedFont>> m_fonts;
    SizedFont* m_last { nullptr };
    LOGFONTA m_lastFont {};
};

Engine& engine()
{
    static Engine instance;
    return instance;
}

std::optional<LOGFONTA> logFontOf(HFONT font)
{
    std::lock_guard guard(objectLock());
    const FontObject* found = findFont(font);
    if (!found)
        return std::nullopt;
    return found->logFont;
}

// Runs f(sizedFont, logFont) under the engine lock for a live font.
template<typename F>
bool withFont(HFONT font, F&& f)
{
    const std::optional<LOGFONTA> logFont = logFontOf(font);
    if (!logFont)
        return false;
    Engine& e = engine();
    std::lock_guard guard(e.lock);
    f(e.sized(*logFont), *logFont);
    return true;
}

}

bool fontMeasures(HFONT font, FontMeasures& measures)
{
    return withFont(font, [&](SizedFont& sized, const LOGFONTA&) { measures = sized.measures(); });
}

bool textMetrics(HFONT font, TEXTMETRICA& metrics)
{
    return withFont(font, [&](SizedFont& sized, const LOGFONTA& logFont) {
        const FontMeasures& m = sized.measures();
        metrics = TEXTMETRICA {};
        metrics.tmHeight = m.height;
        metrics.tmAscent = m.ascent;
        metrics.tmDescent = m.descent;
        metrics.tmInternalLeading = m.internalLeading;
        metrics.tmExternalLeading = m.externalLeading;
        metrics.tmAveCharWidth = m.averageCharWidth;
        metrics.tmMaxCharWidth = m.maxCharWidth;
        metrics.tmWeight = requestedWeight(logFont);
        metrics.tmDigitizedAspectX = 96;
        metrics.tmDigitizedAspectY = 96;
        metrics.tmFirstChar = 0x1E;
        metrics.tmLastChar = 0xFF;
        metrics.tmDefaultChar = 0x1F;
        metrics.tmBreakChar = 0x20;
        metrics.tmItalic = logFont.lfItalic ? 1 : 0;
        metrics.tmUnderlined = logFont.lfUnderline ? 1 : 0;
        metrics.tmStruckOut = logFont.lfStrikeOut ? 1 : 0;
        // The platform's quirk: the "fixed pitch" bit is set for a
        // variable-pitch font.
        const BYTE family = fixedPitch(logFont) ? FF_MODERN
                                                : static_cast<BYTE>(logFont.lfPitchAndFamily & 0xF0 ? logFont.lfPitchAndFamily & 0xF0 : FF_SWISS);
        metrics.tmPitchAndFamily
            = static_cast<BYTE>(family | TMPF_TRUETYPE | TMPF_VECTOR | (fixedPitch(logFont) ? 0 : TMPF_FIXED_PITCH));
        metrics.tmCharSet = logFont.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : logFont.lfCharSet;
    });
}

int textWidth(HFONT font, std::string_view text)
{
    int width = 0;
    withFont(font, [&](SizedFont& sized, const LOGFONTA&) {
        for (const char c : text)
            width += sized.glyph(static_cast<unsigned char>(c)).advance;
    });
    return width;
}

std::vector<int> characterWidths(HFONT font, std::string_view text)
{
    std::vector<int> widths;
    withFont(font, [&](SizedFont& sized, const LOGFONTA&) {
        widths.reserve(text.size());
        for (const char c : text)
            widths.push_back(sized.glyph(static_cast<unsigned char>(c)).advance);
    });
    return widths;
}

HFONT systemFont()
{
    std::lock_guard guard(objectLock());
    return static_cast<HFONT>(stockObject(SYSTEM_FONT));
}

bool renderTextMask(HFONT font, std::string_view text, CoverageMask& mask)
{
    return withFont(font, [&](SizedFont& sized, const LOGFONTA&) {
        // First pass finds how far ink reaches left and right of the box.
        int left = 0;
        int right = 0;
        const int advance = sized.forEachInk(text, [&](int x, int, std::uint8_t) {
            left = std::min(left, x);
            right = std::max(right, x + 1);
        });
        mask.originX = -left;
        mask.width = std::max(right, advance) - left;
        mask.height = sized.measures().height;
        mask.baseline = sized.measures().ascent;
        mask.coverage.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);
        sized.forEachInk(text, [&](int x, int y, std::uint8_t value) {
            if (y < 0 || y >= mask.height)
                return;
            std::uint8_t& cell = mask.coverage[static_cast<std::size_t>(y) * mask.width + (x + mask.originX)];
            cell = std::max(cell, value);
        });
    });
}

bool drawText(HFONT font, std::string_view text, int x, int y, COLORREF colour, const PixelTarget& target,
    const RECT* clip)
{
    RECT bounds { 0, 0, target.width, target.height };
    if (clip) {
        bounds.left = std::max(bounds.left, clip->left);
        bounds.top = std::max(bounds.top, clip->top);
        bounds.right = std::min(bounds.right, clip->right);
        bounds.bottom = std::min(bounds.bottom, clip->bottom);
    }
    const unsigned red = GetRValue(colour);
    const unsigned green = GetGValue(colour);
    const unsigned blue = GetBValue(colour);
    const auto blend = [](unsigned under, unsigned over, unsigned coverage) {
        return (under * (255 - coverage) + over * coverage + 127) / 255;
    };
    return withFont(font, [&](SizedFont& sized, const LOGFONTA&) {
        if (!target.pixels)
            return;
        sized.forEachInk(text, [&](int inkX, int inkY, std::uint8_t coverage) {
            const int px = x + inkX;
            const int py = y + inkY;
            if (px < bounds.left || px >= bounds.right || py < bounds.top || py >= bounds.bottom)
                return;
            std::uint32_t& pixel = target.pixels[static_cast<std::ptrdiff_t>(py) * target.stride + px];
            const std::uint32_t old = pixel;
            pixel = (old & 0xFF000000u) | blend(old >> 16 & 0xFF, red, coverage) << 16
                | blend(old >> 8 & 0xFF, green, coverage) << 8 | blend(old & 0xFF, blue, coverage);
        });
    });
}

}
