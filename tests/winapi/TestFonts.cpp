// The font engine: the dialog font's measures, additive text widths,
// sizes asked for by em or by cell, and rendering that puts ink where the
// text's box is and nowhere else.
#include "gdi/FontEngine.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

using winapi::gdi::FontMeasures;

namespace {

class Font {
public:
    explicit Font(const char* face, LONG height, LONG weight = FW_NORMAL, BYTE underline = 0,
        BYTE quality = DEFAULT_QUALITY)
    {
        LOGFONTA font {};
        font.lfHeight = height;
        font.lfWeight = weight;
        font.lfUnderline = underline;
        font.lfQuality = quality;
        std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
        m_handle = CreateFontIndirectA(&font);
    }
    ~Font() { DeleteObject(m_handle); }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT handle() const { return m_handle; }

private:
    HFONT m_handle;
};

TEST(Fonts, DialogFontsMeasureLikeTheOriginal)
{
    // 8 points at 96 dots per inch is an em of 11 pixels; the original face
    // is 13 pixels high with letters 5 to 6 pixels wide on average.
    Font sansSerif("MS Sans Serif", -11);
    Font shellDialog("MS Shell Dlg", -11);
    const HFONT fonts[] = { sansSerif.handle(), shellDialog.handle(),
        static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)) };
    for (HFONT font : fonts) {
        FontMeasures m;
        ASSERT_TRUE(winapi::gdi::fontMeasures(font, m));
        EXPECT_NEAR(m.height, 13, 1);
        EXPECT_EQ(m.ascent + m.descent, m.height);
        EXPECT_GT(m.descent, 0);
        EXPECT_EQ(m.internalLeading, m.height - 11);
        EXPECT_GE(m.averageCharWidth, 5);
        EXPECT_LE(m.averageCharWidth, 7);
        EXPECT_GE(m.maxCharWidth, m.averageCharWidth);

        const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        const double letters = winapi::gdi::textWidth(font, alphabet) / 52.0;
        EXPECT_GE(letters, 5.0);
        EXPECT_LE(letters, 7.0);
    }
}

TEST(Fonts, SizesByEmAndByCell)
{
    struct Case {
        LONG height;
        int low, high;
    };
    const Case cases[] = { { -11, 12, 14 }, { -20, 22, 24 }, { 20, 19, 21 }, { 40, 39, 41 }, { 0, 15, 17 } };
    for (const Case& c : cases) {
        Font font("Arial", c.height);
        FontMeasures m;
        ASSERT_TRUE(winapi::gdi::fontMeasures(font.handle(), m));
        EXPECT_GE(m.height, c.low) << c.height;
        EXPECT_LE(m.height, c.high) << c.height;
    }
    FontMeasures smaller, larger;
    Font small("MS Sans Serif", -11), large("MS Sans Serif", -22);
    ASSERT_TRUE(winapi::gdi::fontMeasures(small.handle(), smaller));
    ASSERT_TRUE(winapi::gdi::fontMeasures(large.handle(), larger));
    EXPECT_GT(winapi::gdi::textWidth(large.handle(), "Solve"), winapi::gdi::textWidth(small.handle(), "Solve"));

    TEXTMETRICA metrics {};
    ASSERT_TRUE(winapi::gdi::textMetrics(small.handle(), metrics));
    EXPECT_EQ(metrics.tmHeight, smaller.height);
    EXPECT_EQ(metrics.tmAveCharWidth, smaller.averageCharWidth);
    EXPECT_EQ(metrics.tmWeight, FW_NORMAL);
    EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set for a variable-pitch face";
}

TEST(Fonts, TextWidthsAddUp)
{
    Font font("MS Sans Serif", -11);
    Font bold("MS Sans Serif", -11, FW_BOLD);
    const std::vector<std::pair<std::string, std::string>> pairs = {
        { "AV", "To" }, { "Solutions found:", " 12" }, { "100 \xD7 ", "7 \xF7 2" }, { "", "x" }, { "W", "" },
    };
    for (const auto& [left, right] : pairs) {
        const int whole = winapi::gdi::textWidth(font.handle(), left + right);
        EXPECT_EQ(whole, winapi::gdi::textWidth(font.handle(), left) + winapi::gdi::textWidth(font.handle(), right))
            << left << right;
        const std::vector<int> widths = winapi::gdi::characterWidths(font.handle(), left + right);
        EXPECT_EQ(widths.size(), left.size() + right.size());
        EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), whole);
        if (!(left + right).empty()) {
            EXPECT_GE(winapi::gdi::textWidth(bold.handle(), left + right), whole) << left << right;
        }
    }
    EXPECT_GT(winapi::gdi::textWidth(font.handle(), "W"), winapi::gdi::textWidth(font.handle(), "i"));
    EXPECT_EQ(winapi::gdi::textWidth(font.handle(), ""), 0);
}

TEST(Fonts, DeletedFontsAreRefused)
{
    HFONT font;
    {
        Font gone("MS Sans Serif", -11);
        font = gone.handle();
    }
    FontMeasures m;
    EXPECT_FALSE(winapi::gdi::fontMeasures(font, m));
    EXPECT_EQ(winapi::gdi::textWidth(font, "abc"), 0);
    EXPECT_TRUE(winapi::gdi::characterWidths(font, "abc").empty());
    winapi::gdi::CoverageMask mask;
    EXPECT_FALSE(winapi::gdi::renderTextMask(font, "abc", mask));
    EXPECT_FALSE(winapi::gdi::fontMeasures(static_cast<HFONT>(GetStockObject(BLACK_BRUSH)), m));

    ASSERT_TRUE(winapi::gdi::fontMeasures(winapi::gdi::systemFont(), m));
    EXPECT_EQ(winapi::gdi::systemFont(), GetStockObject(SYSTEM_FONT));
    EXPECT_NEAR(m.height, 16, 1);
}

TEST(Fonts, MaskHoldsTheTextsInk)
{
    Font font("MS Sans Serif", -11);
    Font underlined("MS Sans Serif", -11, FW_NORMAL, 1);
    Font aliased("MS Sans Serif", -11, FW_NORMAL, 0, NONANTIALIASED_QUALITY);
    FontMeasures m;
    ASSERT_TRUE(winapi::gdi::fontMeasures(font.handle(), m));

    winapi::gdi::CoverageMask mask;
    ASSERT_TRUE(winapi::gdi::renderTextMask(font.handle(), "Hello", mask));
    EXPECT_EQ(mask.width, winapi::gdi::textWidth(font.handle(), "Hello"));
    EXPECT_EQ(mask.height, m.height);
    EXPECT_EQ(mask.baseline, m.ascent);
    int inked = 0;
    int lowest = -1;
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            if (mask.at(x, y)) {
                ++inked;
                lowest = std::max(lowest, y);
            }
        }
    }
    EXPECT_GT(inked, 20);
    EXPECT_LT(lowest, mask.baseline) << "no descender in Hello";

    // Underline ink under a space, none without it.
    ASSERT_TRUE(winapi::gdi::renderTextMask(font.handle(), "  ", mask));
    EXPECT_TRUE(std::all_of(mask.coverage.begin(), mask.coverage.end(), [](std::uint8_t v) { return v == 0; }));
    ASSERT_TRUE(winapi::gdi::renderTextMask(underlined.handle(), "  ", mask));
    EXPECT_TRUE(std::any_of(mask.coverage.begin(), mask.coverage.end(), [](std::uint8_t v) { return v == 255; }));

    ASSERT_TRUE(winapi::gdi::renderTextMask(aliased.handle(), "Hello", mask));
    EXPECT_TRUE(std::all_of(mask.coverage.begin(), mask.coverage.end(), [](std::uint8_t v) { return v == 0 || v == 255; }));
}

TEST(Fonts, DrawTextInksOnlyInsideItsBoxAndClip)
{
    Font font("MS Sans Serif", -11);
    constexpr int width = 80, height = 30;
    const int textX = 7, textY = 5;
    const std::string text = "Tarvix 42";
    const int textWidth = winapi::gdi::textWidth(font.handle(), text);
    FontMeasures m;
    ASSERT_TRUE(winapi::gdi::fontMeasures(font.handle(), m));

    struct Case {
        const char* name;
        std::optional<RECT> clip;
    };
    const Case cases[] = { { "unclipped", std::nullopt }, { "clipped", RECT { 0, 0, textX + 12, height } } };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> pixels(width * height, 0xFFFFFFu);
        const winapi::gdi::PixelTarget target { pixels.data(), width, height, width };
        ASSERT_TRUE(winapi::gdi::drawText(
            font.handle(), text, textX, textY, RGB(0, 0, 255), target, c.clip ? &*c.clip : nullptr));
        int inked = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t pixel = pixels[y * width + x];
                if (pixel == 0xFFFFFFu)
                    continue;
                ++inked;
                EXPECT_GE(x, textX) << c.name;
                EXPECT_LT(x, c.clip ? c.clip->right : textX + textWidth) << c.name;
                EXPECT_GE(y, textY) << c.name;
                EXPECT_LT(y, textY + m.height) << c.name;
                EXPECT_EQ(pixel & 0xFF, 0xFFu) << "blue stays full under blue ink: " << c.name;
            }
        }
        EXPECT_GT(inked, 10) << c.name;
    }

    // Text partly off the target is clipped, not written out of bounds.
    std::vector<std::uint32_t> small(4 * 4, 0);
    EXPECT_TRUE(winapi::gdi::drawText(font.handle(), text, -3, -6, RGB(255, 255, 255), { small.data(), 4, 4, 4 }));
}

TEST(Fonts, MeasuringFromManyThreadsAgrees)
{
    Font font("MS Sans Serif", -11);
    const std::string text = "The quick brown fox jumps over the lazy dog";
    const int expected = winapi::gdi::textWidth(font.handle(), text);
    std::vector<std::thread> threads;
    std::vector<int> results(4, 0);
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] {
            Font own("MS Sans Serif", -11 - static_cast<LONG>(i));
            for (int round = 0; round < 50; ++round) {
                results[i] = winapi::gdi::textWidth(font.handle(), text);
                winapi::gdi::textWidth(own.handle(), text);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int result : results)
        EXPECT_EQ(result, expected);
}

}
