#include "puzzletext.h"

#include <cstdio>
#include <limits>

namespace vexlo {

bool isFieldWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view trimFieldText(std::string_view text)
{
    while (!text.empty() && isFieldWhiteSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isFieldWhiteSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<std::uint32_t> parseFieldValue(std::string_view trimmed)
{
    if (trimmed.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : trimmed) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    if (value == 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::string nearestText(std::uint64_t below, std::uint64_t above)
{
    if (below == 0 || above == 0)
        return std::to_string(below + above);
    return std::to_string(below) + ", " + std::to_string(above);
}

std::string elapsedText(float seconds)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f sec", static_cast<double>(seconds));
    return buffer;
}

}
