#include "bstr.h"

#include "utf8.h"

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
    for (std::size_t i = 0; i < utf8.size();) {
        const vlscom::Utf8Char c = vlscom::decodeUtf8(utf8, i);
        // Each byte that starts no well-formed sequence becomes one replacement character.
        char32_t code = c.valid ? c.value : 0xFFFD;
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (code >> 10));
            out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += c.length;
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
        vlscom::appendUtf8(out, code);
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
