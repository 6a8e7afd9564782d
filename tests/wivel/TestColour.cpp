// Colour: the platform's colour-reference layout and its top-byte rule.
#include <wivel/colour.h>
#include <wivel/except.h>

#include <gtest/gtest.h>

namespace {

using wivel::Colour;

TEST(Colour, ChannelsInReferenceLayout)
{
    const Colour c(0x00123456u);
    EXPECT_EQ(c.red(), 0x56);
    EXPECT_EQ(c.green(), 0x34);
    EXPECT_EQ(c.blue(), 0x12);
    EXPECT_EQ(Colour(0x56, 0x34, 0x12), c);
    EXPECT_EQ(Colour(0x56, 0x34, 0x12).colorRef(), RGB(0x56, 0x34, 0x12));
}

TEST(Colour, TopByteMustBeZero)
{
    for (const std::uint32_t value : { 0x01000000u, 0x02FFFFFFu, 0x80000000u, 0xFFFFFFFFu })
        EXPECT_THROW(Colour { value }, wivel::AssertionFailure) << value;
    EXPECT_NO_THROW(Colour { 0x00FFFFFFu });
}

}
