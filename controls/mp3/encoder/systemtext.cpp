#include "systemtext.h"

#include <array>
#include <cstring>

namespace vlsmp3 {

std::string systemErrorText(int errorCode)
{
    std::array<char, 256> buffer {};
    // The GNU strerror_r returns the text, which need not be in the buffer.
    const char* text = strerror_r(errorCode, buffer.data(), buffer.size());
    return text ? std::string(text) : std::string("Unknown error");
}

} // namespace vlsmp3
