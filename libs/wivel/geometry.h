// Positions and extents as plain value records. Point and Rectangle are the
// platform's POINT and RECT themselves, extended, so that they (and arrays of
// them) go to platform calls without conversion; a Rectangle's two corners
// lie in memory as two Points. Nothing is normalised, clamped or checked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace wivel {

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;

    constexpr Size() = default;
    constexpr Size(std::int32_t width, std::int32_t height)
        : width(width)
        , height(height)
    {
    }

    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct Point : POINT {
    constexpr Point()
        : POINT { 0, 0 }
    {
    }
    constexpr Point(std::int32_t x, std::int32_t y)
        : POINT { x, y }
    {
    }

    std::string toString() const;

    Point operator+(const Size& offset) const;
    Point operator-(const Size& offset) const;

    friend constexpr bool operator==(const Point& left, const Point& right)
    {
        return left.x == right.x && left.y == right.y;
    }
};

struct Rectangle : RECT {
    constexpr Rectangle()
        : RECT { 0, 0, 0, 0 }
    {
    }
    constexpr Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
        : RECT { left, top, right, bottom }
    {
    }
    constexpr Rectangle(const Point& topLeft, const Point& bottomRight)
        : RECT { topLeft.x, topLeft.y, bottomRight.x, bottomRight.y }
    {
    }
    Rectangle(const Point& topLeft, const Size& size);

    std::int32_t width() const;
    // Moves the right edge; yields the width written.
    std::int32_t width(std::int32_t newWidth);
    std::int32_t height() const;
    // Moves the bottom edge; yields the height written.
    std::int32_t height(std::int32_t newHeight);
    Size size() const { return { width(), height() }; }
    std::int32_t centreX() const;
    std::int32_t centreY() const;

    // The corners as a sequence of two points, for platform calls that map
    // or draw points.
    POINT* corners() { return reinterpret_cast<POINT*>(static_cast<RECT*>(this)); }
    const POINT* corners() const { return reinterpret_cast<const POINT*>(static_cast<const RECT*>(this)); }

    std::string toString() const;

    friend constexpr bool operator==(const Rectangle& a, const Rectangle& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

static_assert(sizeof(Point) == sizeof(POINT) && sizeof(Point) == 8);
static_assert(sizeof(Rectangle) == sizeof(RECT) && sizeof(Rectangle) == 2 * sizeof(Point));

}
