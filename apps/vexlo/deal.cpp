#include "deal.h"

#include <cassert>

namespace vexlo {
namespace {

constexpr std::array<std::uint32_t, 4> bigNumbers { 25, 50, 75, 100 };
constexpr std::array<std::uint32_t, 20> smallNumbers { 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10 };

// Draws without repetition from the front of `pool`: the chosen entry is
// replaced by the last one still available, so the live part shrinks by one.
template<std::size_t N>
std::uint32_t drawFrom(std::array<std::uint32_t, N>& pool, std::uint32_t drawn, const RandomSource& random)
{
    const auto available = static_cast<std::uint32_t>(N) - drawn;
    const std::uint32_t j = random() % available;
    const std::uint32_t value = pool[j];
    pool[j] = pool[available - 1];
    return value;
}

}

Deal dealPuzzle(int bigCount, const RandomSource& random)
{
    assert(bigCount >= 0 && bigCount <= randomBigCount);
    auto k = static_cast<std::uint32_t>(bigCount);
    if (bigCount == randomBigCount)
        k = random() % 5;

    Deal deal;
    auto big = bigNumbers;
    auto small = smallNumbers;
    for (std::uint32_t i = 0; i < k; ++i)
        deal.numbers[i] = drawFrom(big, i, random);
    for (std::uint32_t i = k; i < 6; ++i)
        deal.numbers[i] = drawFrom(small, i - k, random);
    deal.target = random() % 900 + 100;
    return deal;
}

}
