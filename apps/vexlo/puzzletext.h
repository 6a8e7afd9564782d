// The texts a puzzle is read from and shown as: the rules for one typed
// value, and the nearest-value and elapsed-time displays. Shared by the
// dialog and the command-line front end so that both read and show alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexlo {

// Tab, line feed, vertical tab, form feed, carriage return and space.
bool isFieldWhiteSpace(char c);
std::string_view trimFieldText(std::string_view text);

// A whole trimmed field: one or more decimal digits (leading zeros allowed)
// denoting 1 to 4294967295. Anything else, 0 and larger values give nothing.
std::optional<std::uint32_t> parseFieldValue(std::string_view trimmed);

// One value alone when the other side is 0, else "below, above".
std::string nearestText(std::uint64_t below, std::uint64_t above);

// The duration in seconds with three decimals, as "1.234 sec".
std::string elapsedText(float seconds);

}
