#pragma once

// UTF-8 read one character at a time and written from code points. What an invalid sequence
// becomes is the caller's choice: the decoder only says where it is and how long.

#include <cstddef>
#include <string>
#include <string_view>

namespace vlscom {

// One character read from UTF-8 text.
struct Utf8Char {
    char32_t value = 0; // the code point; for an invalid byte, that byte's value
    std::size_t length = 1; // bytes taken from the text (1 for an invalid byte)
    bool valid = false; // false: the byte at the position starts no well-formed sequence (stray
                        // continuation, overlong form, surrogate, beyond U+10FFFF, or cut short)
};

// The character that starts at byte `pos` of `text` (pos < text.size()).
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of `c` (at most U+10FFFF).
void appendUtf8(std::string& out, char32_t c);

} // namespace vlscom
