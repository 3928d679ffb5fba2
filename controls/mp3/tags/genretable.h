#pragma once

// The genre table of ID3v1 with its later extensions (148 names), shared by the tag writer and
// the tag reader, and the rule that turns a genre text into the ID3v1 genre byte.

#include <array>
#include <cstdint>
#include <string_view>

namespace vlsmp3 {

inline constexpr std::size_t genreCount = 148;

// Index = ID3v1 genre number.
extern const std::array<std::string_view, genreCount> genreNames;

// The ID3v1 genre byte for a genre text: 255 for an empty text; a decimal number (read as C atoi
// reads it: leading blanks, sign, digits up to the first other character) when it is non-zero and
// below 148, else 255; for a text that reads as 0, 0 if it is exactly "0", else the index of the
// first genre name equal to it (case-sensitive), else 255.
std::uint8_t genreByte(std::u16string_view genre);

} // namespace vlsmp3
