#include "bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t prefixBytes = sizeof(std::uint32_t);

std::uint32_t* header(BSTR text)
{
    return reinterpret_cast<std::uint32_t*>(text) - 1;
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    constexpr UINT maxLength = (std::numeric_limits<std::uint32_t>::max() - prefixBytes - 2) / 2;
    if (length > maxLength)
        return nullptr;
    const std::size_t bytes = std::size_t { length } * sizeof(OLECHAR);
    void* block = std::malloc(prefixBytes + bytes + sizeof(OLECHAR));
    if (!block)
        return nullptr;
    auto* size = static_cast<std::uint32_t*>(block);
    *size = static_cast<std::uint32_t>(bytes);
    BSTR result = reinterpret_cast<BSTR>(size + 1);
    if (text)
        std::memcpy(result, text, bytes);
    else
        std::memset(result, 0, bytes);
    result[length] = 0;
    return result;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<char16_t>::length(text)));
}

void SysFreeString(BSTR text)
{
    if (text)
        std::free(header(text));
}

UINT SysStringLen(BSTR text)
{
    return text ? *header(text) / sizeof(OLECHAR) : 0;
}

UINT SysStringByteLen(BSTR text)
{
    return text ? *header(text) : 0;
}

namespace vlscom {

std::u16string toUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    const auto byteAt = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    while (i < n) {
        const unsigned char lead = byteAt(i);
        char32_t code = 0;
        std::size_t length = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            length = 2;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            length = 3;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            length = 4;
            minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= n;
        for (std::size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = byteAt(i + k);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                code = (code << 6) | (next & 0x3F);
        }
        if (valid && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            valid = false;
        if (!valid) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += length;
    }
    return out;
}

std::string toUtf8(std::u16string_view utf16)
{
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t code = utf16[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00
            && utf16[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

BSTR allocBstr(std::u16string_view text)
{
    if (text.size() > std::numeric_limits<UINT>::max())
        return nullptr;
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BSTR allocBstr(std::string_view utf8)
{
    return allocBstr(std::u16string_view(toUtf16(utf8)));
}

} // namespace vlscom
