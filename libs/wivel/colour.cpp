// The one checked way of making a Colour from a raw reference value.
#include "colour.h"

#include "except.h"

namespace wivel {

Colour::Colour(std::uint32_t value)
    : m_value(value)
{
    require((value & 0xFF000000u) == 0, "a colour's top byte is zero");
}

}
