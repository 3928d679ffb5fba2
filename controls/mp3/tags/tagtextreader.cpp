#include "tagtextreader.h"

#include "vlscom/endian.h"

#include <algorithm>

namespace vlsmp3 {

std::u16string latin1Text(std::span<const std::uint8_t> bytes)
{
    return std::u16string(bytes.begin(), std::ranges::find(bytes, 0));
}

std::u16string utf16Text(std::span<const std::uint8_t> bytes)
{
    bool bigEndian = false;
    std::size_t at = 0;
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        bigEndian = true;
        at = 2;
    } else if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        at = 2;
    }
    std::u16string units;
    for (; at + 1 < bytes.size(); at += 2) {
        const char16_t unit = bigEndian ? vlscom::readBe<2>(bytes, at) : vlscom::readLe<2>(bytes, at);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    const bool loneByte = at + 1 == bytes.size();
    std::u16string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00
            && units[i + 1] <= 0xDFFF) {
            text.push_back(unit);
            text.push_back(units[++i]);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            text.push_back(u'\uFFFD');
        } else {
            text.push_back(unit);
        }
    }
    if (loneByte)
        text.push_back(u'\uFFFD');
    return text;
}

std::size_t pastTerminator(std::span<const std::uint8_t> bytes, TagTextEncoding encoding)
{
    if (encoding == TagTextEncoding::Latin1) {
        const auto zero = std::ranges::find(bytes, 0);
        return zero == bytes.end() ? bytes.size() : static_cast<std::size_t>(zero - bytes.begin()) + 1;
    }
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == 0 && bytes[i + 1] == 0)
            return i + 2;
    }
    return bytes.size();
}

} // namespace vlsmp3
