// Random deals: what each choice deals, and the order random values are used in.
#include "deal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace vexlo::test {
namespace {

bool isBig(std::uint32_t n)
{
    return n == 25 || n == 50 || n == 75 || n == 100;
}

TEST(Deal, ZeroGeneratorDealsTheFirstEntriesAgainAndAgain)
{
    const RandomSource zero = [] { return 0U; };
    const Deal deal = dealPuzzle(randomBigCount, zero);
    EXPECT_EQ(deal.numbers, (std::array<std::uint32_t, 6> { 1, 10, 10, 9, 9, 8 }));
    EXPECT_EQ(deal.target, 100U);
    EXPECT_EQ(dealPuzzle(4, zero).numbers, (std::array<std::uint32_t, 6> { 25, 100, 75, 50, 1, 10 }));
}

TEST(Deal, ValuesAreConsumedInOrder)
{
    // Count, then big draws, then small draws, then the target.
    std::vector<std::uint32_t> values { 2, 3, 0, 19, 18, 17, 16, 899 };
    std::size_t next = 0;
    const RandomSource scripted = [&] { return values.at(next++); };
    const Deal deal = dealPuzzle(randomBigCount, scripted);
    EXPECT_EQ(next, values.size());
    EXPECT_EQ(deal.numbers, (std::array<std::uint32_t, 6> { 100, 25, 10, 10, 9, 9 }));
    EXPECT_EQ(deal.target, 999U);
}

TEST(Deal, EveryChoiceDealsAValidPuzzle)
{
    std::mt19937 engine(12345);
    const RandomSource random = [&] { return static_cast<std::uint32_t>(engine()); };
    std::map<int, int> fullyRandomCounts;
    for (int choice = 0; choice <= randomBigCount; ++choice) {
        for (int round = 0; round < 400; ++round) {
            const Deal deal = dealPuzzle(choice, random);
            const auto bigs = std::count_if(deal.numbers.begin(), deal.numbers.end(), isBig);
            if (choice < randomBigCount) {
                EXPECT_EQ(bigs, choice);
                EXPECT_TRUE(std::all_of(deal.numbers.begin(), deal.numbers.begin() + choice, isBig));
            } else {
                ++fullyRandomCounts[static_cast<int>(bigs)];
            }
            for (const std::uint32_t n : deal.numbers) {
                const auto times = std::count(deal.numbers.begin(), deal.numbers.end(), n);
                EXPECT_LE(times, isBig(n) ? 1 : 2) << n;
                EXPECT_TRUE(isBig(n) || (n >= 1 && n <= 10)) << n;
            }
            EXPECT_GE(deal.target, 100U);
            EXPECT_LE(deal.target, 999U);
        }
    }
    EXPECT_EQ(fullyRandomCounts.size(), 5U) << "0 to 4 big numbers, never more";
    EXPECT_EQ(fullyRandomCounts.rbegin()->first, 4);
}

}
}
