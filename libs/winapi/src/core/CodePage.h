// Windows-1252, the ANSI code page of every text the layer's ANSI calls take
// and give, and its one-to-one mapping to Unicode code points.
#pragma once

#include <array>
#include <cstddef>

namespace winapi {

// Bytes 0x80 to 0x9F; the five that the code page leaves undefined map to
// the control characters of the same value, both ways. Every other byte is
// the code point of its own value.
inline constexpr std::array<char32_t, 32> windows1252Upper = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t fromWindows1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? windows1252Upper[byte - 0x80] : byte;
}

// The byte of a code point, or `missing` when the code page lacks it.
constexpr char toWindows1252(char32_t c, char missing = '?')
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < windows1252Upper.size(); ++i) {
        if (windows1252Upper[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return missing;
}

}
