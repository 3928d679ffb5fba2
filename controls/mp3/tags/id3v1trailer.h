#pragma once

// The 128-byte ID3v1.1 trailer that ends a tagged MP3 file.

#include "tagfields.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vlsmp3 {

using Id3v1Trailer = std::array<std::uint8_t, 128>;

// Nothing when every field is empty. Otherwise "TAG", then title (30 bytes), artist (30), album
// (30), year (4), comment (30, or 28 when a track number is set, followed by a zero byte and the
// low 8 bits of the track number read as atol reads it), genre byte. Text is ISO-8859-1 with '?'
// for characters outside it, cut at the field width and zero-padded.
std::optional<Id3v1Trailer> buildId3v1Trailer(const TagFields& tags);

} // namespace vlsmp3
