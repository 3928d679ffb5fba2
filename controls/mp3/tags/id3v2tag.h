#pragma once

// The ID3v2.3 tag that the encoder puts in front of a tagged MP3 file.

#include "tagfields.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vlsmp3 {

// The most bytes a tag may take; a tag whose frames would not fit is not written at all.
inline constexpr std::size_t id3v2TagLimit = 16384;
// A smaller tag is padded with zeros to this size.
inline constexpr std::size_t id3v2TagMinimum = 1024;

// The whole tag: a 10-byte header ("ID3", version 3.0, no flags, sync-safe size of the rest), then
// the frames TCON, TRCK, COMM, TYER, TIT2, TPE1, TALB for the non-empty fields in this order, then
// zero padding up to 1024 bytes. Frame sizes are plain big-endian 32-bit numbers. A text that
// ISO-8859-1 holds is stored with encoding 0 and no terminator; any other text with encoding 1
// (UTF-16 little-endian with its byte-order mark). COMM carries the language "eng" and an empty
// description. Empty when every field is empty or the frames exceed 16384 bytes.
std::vector<std::uint8_t> buildId3v2Tag(const TagFields& tags);

// The size of the ID3v2 tag at the start of a file from its first 10 bytes (header, sync-safe
// size and a footer when flagged); 0 when the bytes do not start a tag.
std::size_t id3v2TagSize(const std::uint8_t* header, std::size_t available);

} // namespace vlsmp3
