// Arithmetic and text forms of the geometry records. Sums and differences
// wrap around as two's-complement 32-bit values, the records' documented
// arithmetic, instead of overflowing (which C++ leaves undefined).
#include "geometry.h"

#include <cstdio>

namespace wivel {
namespace {

std::int32_t wrappingAdd(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t wrappingSubtract(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

}

std::string Point::toString() const
{
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d)", static_cast<int>(x), static_cast<int>(y));
    return text;
}

Point Point::operator+(const Size& offset) const
{
    return { wrappingAdd(x, offset.width), wrappingAdd(y, offset.height) };
}

Point Point::operator-(const Size& offset) const
{
    return { wrappingSubtract(x, offset.width), wrappingSubtract(y, offset.height) };
}

Rectangle::Rectangle(const Point& topLeft, const Size& size)
    : RECT { topLeft.x, topLeft.y, 0, 0 }
{
    width(size.width);
    height(size.height);
}

std::int32_t Rectangle::width() const { return wrappingSubtract(right, left); }

std::int32_t Rectangle::width(std::int32_t newWidth)
{
    right = wrappingAdd(left, newWidth);
    return newWidth;
}

std::int32_t Rectangle::height() const { return wrappingSubtract(bottom, top); }

std::int32_t Rectangle::height(std::int32_t newHeight)
{
    bottom = wrappingAdd(top, newHeight);
    return newHeight;
}

// Division of the (wrapped) sum rounds toward zero, as C++ division does.
std::int32_t Rectangle::centreX() const { return wrappingAdd(left, right) / 2; }

std::int32_t Rectangle::centreY() const { return wrappingAdd(top, bottom) / 2; }

std::string Rectangle::toString() const
{
    char text[64];
    std::snprintf(text, sizeof text, "(%d, %d)-(%d, %d)", static_cast<int>(left), static_cast<int>(top),
        static_cast<int>(right), static_cast<int>(bottom));
    return text;
}

}
