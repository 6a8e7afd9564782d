// Random puzzles dealt in the manner of the numbers game: a chosen count of
// big numbers from 25, 50, 75 and 100, the rest small numbers from two of
// each of 1 to 10, and a target from 100 to 999.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace vexlo {

struct Deal {
    std::array<std::uint32_t, 6> numbers {};
    std::uint32_t target { 0 };
};

// A source of uniformly distributed unsigned 32-bit values.
using RandomSource = std::function<std::uint32_t()>;

// The "Fully Random" choice: the count of big numbers is drawn too.
inline constexpr int randomBigCount = 5;

// Deals a puzzle with `bigCount` (0 to 4, or randomBigCount) big numbers.
// Values are drawn in a fixed order: the count (only when random), the big
// numbers, the small numbers, the target; each draw is r mod (choices).
Deal dealPuzzle(int bigCount, const RandomSource& random);

}
