#pragma once

#include <cstddef>
#include <string_view>

namespace tmbr::codegen {

// Character positions in UTF-8 text: a character is a code point; a byte that
// starts no well-formed sequence counts as one character of its own.

// Number of characters in `text`.
std::size_t characterCount(std::string_view text);

// Up to `count` characters of `text` from character `first` (counted from 0);
// empty when `text` is shorter.
std::string_view characters(std::string_view text, std::size_t first, std::size_t count);

// `text` without its last `count` characters; empty when it has no more.
std::string_view withoutLastCharacters(std::string_view text, std::size_t count);

// `text` without leading and trailing blanks (U+0020 only).
std::string_view trimmedBlanks(std::string_view text);

} // namespace tmbr::codegen
