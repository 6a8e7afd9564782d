// Reading a typed value and the texts of the nearest and elapsed displays.
#include "puzzletext.h"

#include <gtest/gtest.h>

namespace vexlo::test {
namespace {

TEST(PuzzleText, FieldValues)
{
    struct Case {
        std::string text;
        std::optional<std::uint32_t> value;
    };
    const std::vector<Case> cases {
        { " 42 ", 42 },
        { "\t\n\v\f\r 7\r\n", 7 },
        { "007", 7 },
        { "4294967295", 4294967295U },
        { "0004294967295", 4294967295U },
        { "4294967296", std::nullopt },
        { "99999999999999999999999", std::nullopt },
        { "", std::nullopt },
        { "   ", std::nullopt },
        { "0", std::nullopt },
        { "000", std::nullopt },
        { "-5", std::nullopt },
        { "+5", std::nullopt },
        { "5.0", std::nullopt },
        { "12a", std::nullopt },
        { "1 000", std::nullopt },
        { "\xA0" "5", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseFieldValue(trimFieldText(c.text)), c.value) << '"' << c.text << '"';
    EXPECT_EQ(trimFieldText("  1 000\t"), "1 000");
}

TEST(PuzzleText, Displays)
{
    EXPECT_EQ(nearestText(0, 952), "952");
    EXPECT_EQ(nearestText(9, 0), "9");
    EXPECT_EQ(nearestText(950, 954), "950, 954");
    EXPECT_EQ(nearestText(4294967296ULL, 18446744073709551615ULL), "4294967296, 18446744073709551615");
    EXPECT_EQ(elapsedText(1234 / 1000.0f), "1.234 sec");
    EXPECT_EQ(elapsedText(0.0f), "0.000 sec");
}

}
}
