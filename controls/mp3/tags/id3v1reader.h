#pragma once

// Reads an ID3v1 or ID3v1.1 trailer (the last 128 bytes of a file, starting with "TAG") into the
// tag fields. Only the fields the trailer provides are set.

#include "tagfields.h"

#include <cstdint>
#include <span>

namespace vlsmp3 {

// True when the 128 bytes begin with "TAG".
bool isId3v1(std::span<const std::uint8_t, 128> trailer);

// Title, Artist, Album, Year, Comment (each up to its first zero byte, trailing blanks removed,
// ISO-8859-1); Genre when the genre byte names one of the 148 genres; TrackNo (decimal text of byte
// 126) when byte 125 is 0.
void readId3v1(std::span<const std::uint8_t, 128> trailer, TagFields& fields);

} // namespace vlsmp3
