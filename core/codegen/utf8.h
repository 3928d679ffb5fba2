#pragma once

#include <cstddef>
#include <string_view>

namespace tmbr::codegen {

// One character read from UTF-8 text.
struct Utf8Char {
    char32_t value = 0; // the code point; for an invalid byte, that byte's value
    std::size_t length = 1; // bytes taken from the text (1 for an invalid byte)
    bool valid = false; // false: the byte at the position starts no well-formed
                        // sequence (stray continuation, overlong form, surrogate,
                        // beyond U+10FFFF, or cut short)
};

// The character that starts at byte `pos` of `text` (pos < text.size()).
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);

} // namespace tmbr::codegen
