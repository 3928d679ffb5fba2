#pragma once

#include "types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline constexpr GUID GUID_NULL {};
inline constexpr IID IID_NULL {};

namespace vlscom {

namespace detail {
constexpr int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

constexpr bool readHex(std::string_view text, std::size_t& pos, int digits, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i, ++pos) {
        const int digit = hexDigit(text[pos]);
        if (digit < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}
} // namespace detail

// Parses the registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits in either case,
// braces required, nothing around it). Untrusted text is fine: anything else gives nullopt.
constexpr std::optional<GUID> parseGuid(std::string_view text)
{
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return std::nullopt;
    GUID guid {};
    std::size_t pos = 1;
    std::uint32_t value = 0;
    if (!detail::readHex(text, pos, 8, value) || text[pos++] != '-')
        return std::nullopt;
    guid.Data1 = value;
    if (!detail::readHex(text, pos, 4, value) || text[pos++] != '-')
        return std::nullopt;
    guid.Data2 = static_cast<std::uint16_t>(value);
    if (!detail::readHex(text, pos, 4, value) || text[pos++] != '-')
        return std::nullopt;
    guid.Data3 = static_cast<std::uint16_t>(value);
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && text[pos++] != '-')
            return std::nullopt;
        if (!detail::readHex(text, pos, 2, value))
            return std::nullopt;
        guid.Data4[i] = static_cast<std::uint8_t>(value);
    }
    return guid;
}

// A GUID from literal text, checked at compile time.
consteval GUID makeGuid(const char* text)
{
    const auto guid = parseGuid(text);
    if (!guid)
        throw "malformed GUID literal";
    return *guid;
}

// The registry form with upper-case hex digits, braces included.
std::string formatGuid(const GUID& guid);

} // namespace vlscom
