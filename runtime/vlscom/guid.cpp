#include "guid.h"

namespace vlscom {

std::string formatGuid(const GUID& guid)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(38);
    const auto put = [&](std::uint32_t value, int count) {
        for (int shift = (count - 1) * 4; shift >= 0; shift -= 4)
            text += digits[(value >> shift) & 0xF];
    };
    text += '{';
    put(guid.Data1, 8);
    text += '-';
    put(guid.Data2, 4);
    text += '-';
    put(guid.Data3, 4);
    text += '-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2)
            text += '-';
        put(guid.Data4[i], 2);
    }
    text += '}';
    return text;
}

} // namespace vlscom
