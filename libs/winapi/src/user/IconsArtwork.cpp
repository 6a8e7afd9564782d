// The system's icons, drawn in code: each is a few filled shapes laid out
// on a 32-unit design square and sampled at whatever size is asked for,
// sixteen samples a pixel, into a 32-bit image with premultiplied alpha
// and the AND mask that goes with it.
#include "user/Icons.h"

#include <cmath>
#include <functional>
#include <vector>

namespace winapi::icons {
namespace {

constexpr float design = 32.0f;

using Shape = std::function<bool(float x, float y)>;

Shape circle(float cx, float cy, float radius)
{
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

Shape box(float left, float top, float right, float bottom)
{
    return [=](float x, float y) { return x >= left && x < right && y >= top && y < bottom; };
}

// A stroke of the given half-width from (x1, y1) to (x2, y2), round ended.
Shape stroke(float x1, float y1, float x2, float y2, float halfWidth)
{
    return [=](float x, float y) {
        const float dx = x2 - x1;
        const float dy = y2 - y1;
        const float lengthSquared = dx * dx + dy * dy;
        float t = lengthSquared > 0 ? ((x - x1) * dx + (y - y1) * dy) / lengthSquared : 0;
        t = std::fmax(0.0f, std::fmin(1.0f, t));
        const float px = x1 + t * dx - x;
        const float py = y1 + t * dy - y;
        return px * px + py * py <= halfWidth * halfWidth;
    };
}

Shape triangle(float ax, float ay, float bx, float by, float cx, float cy)
{
    return [=](float x, float y) {
        const auto side = [&](float x1, float y1, float x2, float y2) { return (x2 - x1) * (y - y1) - (y2 - y1) * (x - x1); };
        const float d1 = side(ax, ay, bx, by);
        const float d2 = side(bx, by, cx, cy);
        const float d3 = side(cx, cy, ax, ay);
        return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
    };
}

class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width)
        , m_height(height)
        , m_pixels(static_cast<std::size_t>(width) * height)
    {
    }

    void paint(const Shape& shape, COLORREF colour)
    {
        constexpr int samples = 4;
        const float red = GetRValue(colour) / 255.0f;
        const float green = GetGValue(colour) / 255.0f;
        const float blue = GetBValue(colour) / 255.0f;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                int inside = 0;
                for (int sy = 0; sy < samples; ++sy) {
                    for (int sx = 0; sx < samples; ++sx) {
                        const float u = (x + (sx + 0.5f) / samples) * design / m_width;
                        const float v = (y + (sy + 0.5f) / samples) * design / m_height;
                        inside += shape(u, v) ? 1 : 0;
                    }
                }
                if (inside == 0)
                    continue;
                const float cover = static_cast<float>(inside) / (samples * samples);
                Pixel& p = m_pixels[static_cast<std::size_t>(y) * m_width + x];
                p.red = red * cover + p.red * (1 - cover);
                p.green = green * cover + p.green * (1 - cover);
                p.blue = blue * cover + p.blue * (1 - cover);
                p.alpha = cover + p.alpha * (1 - cover);
            }
        }
    }

    std::optional<IconImage> image() const
    {
        std::optional<gdi::Pixmap> colour = gdi::Pixmap::make(m_width, m_height, 32);
        std::optional<gdi::Pixmap> mask = gdi::Pixmap::make(m_width, m_height, 1);
        if (!colour || !mask)
            return std::nullopt;
        const auto byte = [](float value) { return static_cast<BYTE>(std::lround(std::fmin(1.0f, value) * 255)); };
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const Pixel& p = m_pixels[static_cast<std::size_t>(y) * m_width + x];
                const BYTE alpha = byte(p.alpha);
                colour->setPixelWithAlpha(x, y, RGB(byte(p.red), byte(p.green), byte(p.blue)), alpha);
                // A set AND bit leaves the screen showing through.
                mask->setPixel(x, y, alpha < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0));
            }
        }
        IconImage result;
        result.isIcon = true;
        result.hotspot = { m_width / 2, m_height / 2 };
        result.mask = std::move(*mask);
        result.colour = std::move(colour);
        return result;
    }

private:
    // Premultiplied colour and coverage.
    struct Pixel {
        float red { 0 }, green { 0 }, blue { 0 }, alpha { 0 };
    };
    int m_width;
    int m_height;
    std::vector<Pixel> m_pixels;
};

constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);
constexpr COLORREF navy = RGB(0, 0, 128);

void drawApplication(Canvas& c)
{
    // A window: frame, client area and caption.
    c.paint(box(1, 3, 31, 29), black);
    c.paint(box(2, 4, 30, 28), white);
    c.paint(box(2, 4, 30, 9), navy);
    c.paint(box(25, 5, 29, 8), RGB(192, 192, 192));
}

void drawError(Canvas& c)
{
    c.paint(circle(16, 16, 14.5f), RGB(128, 0, 0));
    c.paint(circle(16, 16, 13.2f), RGB(255, 0, 0));
    c.paint(stroke(10.5f, 10.5f, 21.5f, 21.5f, 2.0f), white);
    c.paint(stroke(21.5f, 10.5f, 10.5f, 21.5f, 2.0f), white);
}

void drawQuestion(Canvas& c)
{
    c.paint(circle(16, 16, 14.5f), navy);
    c.paint(circle(16, 16, 13.0f), white);
    const Shape arc = [](float x, float y) {
        const float dx = x - 16;
        const float dy = y - 12.5f;
        const float distanceSquared = dx * dx + dy * dy;
        return distanceSquared >= 3.0f * 3.0f && distanceSquared <= 5.6f * 5.6f && !(dx < 0 && dy > 0);
    };
    c.paint(arc, RGB(0, 0, 255));
    c.paint(stroke(19.8f, 15.5f, 16.0f, 18.5f, 1.35f), RGB(0, 0, 255));
    c.paint(stroke(16.0f, 18.5f, 16.0f, 19.5f, 1.35f), RGB(0, 0, 255));
    c.paint(circle(16, 24, 1.9f), RGB(0, 0, 255));
}

void drawWarning(Canvas& c)
{
    c.paint(triangle(16, 1.5f, 31, 29, 1, 29), black);
    c.paint(triangle(16, 4.5f, 28.5f, 27.5f, 3.5f, 27.5f), RGB(255, 255, 0));
    c.paint(stroke(16, 11, 16, 19, 1.7f), black);
    c.paint(circle(16, 23.5f, 1.9f), black);
}

void drawInformation(Canvas& c)
{
    c.paint(circle(16, 16, 14.5f), navy);
    c.paint(circle(16, 16, 13.2f), RGB(0, 0, 224));
    c.paint(circle(16, 9.5f, 2.2f), white);
    c.paint(stroke(16, 14.5f, 16, 23.5f, 1.9f), white);
}

void drawTile(Canvas& c)
{
    c.paint(box(3, 3, 29, 29), RGB(0, 96, 96));
    c.paint(box(4, 4, 28, 28), RGB(0, 128, 128));
    c.paint([](float x, float y) { return std::fabs(x - 16) + std::fabs(y - 16) <= 8.5f; }, white);
}

}

std::optional<IconImage> systemIcon(WORD id, int width, int height)
{
    void (*draw)(Canvas&) = nullptr;
    switch (id) {
    case 32512: draw = drawApplication; break;
    case 32513: draw = drawError; break;
    case 32514: draw = drawQuestion; break;
    case 32515: draw = drawWarning; break;
    case 32516: draw = drawInformation; break;
    case 32517: draw = drawTile; break;
    default: return std::nullopt;
    }
    if (width <= 0 || height <= 0 || width > 256 || height > 256)
        return std::nullopt;
    Canvas canvas(width, height);
    draw(canvas);
    return canvas.image();
}

}
