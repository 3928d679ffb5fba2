#include "tagtext.h"

#include <algorithm>
#include <limits>

namespace vlsmp3 {

namespace {
bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}
bool isCSpace(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}
} // namespace

bool fitsLatin1(std::u16string_view text)
{
    return std::ranges::all_of(text, [](char16_t c) { return c <= 0xFF; });
}

std::string toLatin1(std::u16string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c <= 0xFF) {
            bytes.push_back(static_cast<char>(c));
            continue;
        }
        bytes.push_back('?');
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
    }
    return bytes;
}

long leadingInteger(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    constexpr long limit = std::numeric_limits<long>::max();
    long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i] - u'0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace vlsmp3
