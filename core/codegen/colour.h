#pragma once

#include <cstdint>
#include <string>

namespace tmbr::codegen {

// A colour value with red in the lowest byte, green next, blue in the third.
constexpr std::uint32_t rgb(int red, int green, int blue)
{
    return static_cast<std::uint32_t>(red & 0xFF) | (static_cast<std::uint32_t>(green & 0xFF) << 8)
        | (static_cast<std::uint32_t>(blue & 0xFF) << 16);
}

// Six upper-case hex digits RRGGBB: rgb(10, 0, 255) gives "0A00FF".
std::string ColourToHex(std::uint32_t colour);

} // namespace tmbr::codegen
