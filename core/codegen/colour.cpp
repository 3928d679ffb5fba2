#include "colour.h"

namespace tmbr::codegen {

std::string ColourToHex(std::uint32_t colour)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(6);
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned component = (colour >> shift) & 0xFFU;
        hex += kDigits[component >> 4];
        hex += kDigits[component & 0xFU];
    }
    return hex;
}

} // namespace tmbr::codegen
