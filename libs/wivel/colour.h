// A colour in the platform's colour-reference layout: red in the lowest byte,
// then green, then blue, the top byte zero. The top byte is where the
// platform marks palette-relative and palette-index references, which a
// Colour never is.
#pragma once

#include <windows.h>

#include <cstdint>

namespace wivel {

class Colour {
public:
    constexpr Colour() = default;
    // Requires a value whose top byte is zero.
    explicit Colour(std::uint32_t value);
    constexpr Colour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : m_value(static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8
            | static_cast<std::uint32_t>(blue) << 16)
    {
    }

    constexpr std::uint32_t value() const { return m_value; }
    constexpr COLORREF colorRef() const { return m_value; }
    constexpr std::uint8_t red() const { return static_cast<std::uint8_t>(m_value); }
    constexpr std::uint8_t green() const { return static_cast<std::uint8_t>(m_value >> 8); }
    constexpr std::uint8_t blue() const { return static_cast<std::uint8_t>(m_value >> 16); }

    friend constexpr bool operator==(const Colour&, const Colour&) = default;

private:
    std::uint32_t m_value = 0;
};

}
