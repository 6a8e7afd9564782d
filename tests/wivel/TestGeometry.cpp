// Geometry records: their platform layouts, signed arithmetic without
// normalisation, and their text forms.
#include <wivel/geometry.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>

namespace {

using wivel::Point;
using wivel::Rectangle;
using wivel::Size;

TEST(Geometry, LayoutsAreThePlatforms)
{
    static_assert(offsetof(POINT, x) == 0 && offsetof(POINT, y) == 4);
    Rectangle r(1, 2, 3, 4);
    const POINT* corners = r.corners();
    EXPECT_EQ(corners[0].x, 1);
    EXPECT_EQ(corners[0].y, 2);
    EXPECT_EQ(corners[1].x, 3);
    EXPECT_EQ(corners[1].y, 4);
    Point points[2] { { 5, 6 }, { 7, 8 } };
    const POINT* asPlatform = points;
    EXPECT_EQ(asPlatform[1].y, 8);
}

TEST(Geometry, RectangleMeasures)
{
    struct Case {
        Rectangle rect;
        std::int32_t width, height, centreX, centreY;
    };
    const Case cases[] {
        { { 10, 0, 4, 0 }, -6, 0, 7, 0 },
        { { -3, 1, 0, 4 }, 3, 3, -1, 2 }, // rounds toward zero, not down
        { { 1, -4, 4, -1 }, 3, 3, 2, -2 },
        { { INT_MAX, 0, 1, 0 }, INT_MIN + 2, 0, INT_MIN / 2, 0 }, // 32-bit sums wrap
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.rect.width(), c.width) << c.rect.toString();
        EXPECT_EQ(c.rect.height(), c.height) << c.rect.toString();
        EXPECT_EQ(c.rect.size(), Size(c.width, c.height)) << c.rect.toString();
        EXPECT_EQ(c.rect.centreX(), c.centreX) << c.rect.toString();
        EXPECT_EQ(c.rect.centreY(), c.centreY) << c.rect.toString();
    }
}

TEST(Geometry, WritingExtentsMovesOnlyTheFarEdge)
{
    Rectangle r(10, 20, 4, 5);
    EXPECT_EQ(r.width(5), 5);
    EXPECT_EQ(r, Rectangle(10, 20, 15, 5));
    EXPECT_EQ(r.height(-30), -30);
    EXPECT_EQ(r, Rectangle(10, 20, 15, -10));
    EXPECT_EQ(r.height(7), 7);
    EXPECT_EQ(r, Rectangle(10, 20, 15, 27));
}

TEST(Geometry, Constructors)
{
    EXPECT_EQ(Rectangle(Point(1, 2), Point(-3, 4)), Rectangle(1, 2, -3, 4));
    EXPECT_EQ(Rectangle(Point(1, 2), Size(10, -20)), Rectangle(1, 2, 11, -18));
    EXPECT_EQ(Rectangle(), Rectangle(0, 0, 0, 0));
    EXPECT_EQ(Point(), Point(0, 0));
}

TEST(Geometry, PointOffsets)
{
    const Point p(3, -4);
    EXPECT_EQ(p + Size(10, 20), Point(13, 16));
    EXPECT_EQ(p - Size(10, 20), Point(-7, -24));
    EXPECT_EQ(p, Point(3, -4)) << "the point itself is unchanged";
    EXPECT_EQ(Point(INT_MAX, INT_MIN) + Size(1, -1), Point(INT_MIN, INT_MAX));
}

TEST(Geometry, TextForms)
{
    EXPECT_EQ(Point(0, 0).toString(), "(0, 0)");
    EXPECT_EQ(Point(3, -4).toString(), "(3, -4)");
    EXPECT_EQ(Point(INT_MIN, INT_MAX).toString(), "(-2147483648, 2147483647)");
    EXPECT_EQ(Rectangle(1, -2, 30, 40).toString(), "(1, -2)-(30, 40)");
    EXPECT_EQ(Rectangle(INT_MIN, INT_MIN, INT_MIN, INT_MIN).toString(),
        "(-2147483648, -2147483648)-(-2147483648, -2147483648)");
}

}
