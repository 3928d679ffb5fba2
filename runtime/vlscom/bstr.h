#pragma once

// Automation strings: UTF-16 text with a 32-bit byte length stored just before the first character
// and a terminating zero after the last one. A null BSTR is the empty string.

#include "types.h"

#include <string>
#include <string_view>
#include <utility>

using BSTR = OLECHAR*;

// A copy of the zero-terminated text; null for null text or when memory runs out.
BSTR SysAllocString(const OLECHAR* text);
// A string of `length` characters copied from text, or zero-filled when text is null; null when
// memory runs out.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
// Characters (not counting the terminator); 0 for null.
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

namespace vlscom {

// UTF-8 to UTF-16 and back; malformed sequences and unpaired surrogates become U+FFFD.
std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);

inline std::u16string_view bstrView(BSTR text)
{
    return { text, SysStringLen(text) };
}
// A new BSTR holding the text; null when memory runs out.
BSTR allocBstr(std::u16string_view text);
BSTR allocBstr(std::string_view utf8);

// Owning BSTR. One assignment, by value, serves copy and move.
class Bstr { // NOLINT(cppcoreguidelines-special-member-functions)
public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text)
        : m_text(allocBstr(text))
    {
    }
    explicit Bstr(std::string_view utf8)
        : m_text(allocBstr(utf8))
    {
    }
    Bstr(const Bstr& other)
        : m_text(other.m_text ? allocBstr(other.view()) : nullptr)
    {
    }
    Bstr(Bstr&& other) noexcept
        : m_text(std::exchange(other.m_text, nullptr))
    {
    }
    ~Bstr() { SysFreeString(m_text); }
    Bstr& operator=(Bstr other) noexcept
    {
        std::swap(m_text, other.m_text);
        return *this;
    }

    static Bstr adopt(BSTR text)
    {
        Bstr result;
        result.m_text = text;
        return result;
    }

    BSTR get() const { return m_text; }
    std::u16string_view view() const { return bstrView(m_text); }
    std::string utf8() const { return toUtf8(view()); }
    UINT length() const { return SysStringLen(m_text); }

    // Frees the held string and returns the address for an out-parameter.
    BSTR* put()
    {
        SysFreeString(std::exchange(m_text, nullptr));
        return &m_text;
    }
    BSTR detach() { return std::exchange(m_text, nullptr); }

private:
    BSTR m_text = nullptr;
};

} // namespace vlscom
