#pragma once

// Reads the text frames of an ID3v2 tag (versions 2.2 to 2.3 as a 2.3 walk; 2.4 and above are not
// read) into the tag fields: TIT2, TPE1, TALB, TRCK, TCON, TYER and COMM. Only the fields the tag
// provides are set.

#include "tagfields.h"

#include <cstdint>
#include <span>

namespace vlsmp3 {

// The tag's total size (10 + its sync-safe size) when bytes start with "ID3" and a version byte of
// at most maxVersion; 0 otherwise. Needs at least 10 bytes.
std::uint64_t id3v2TotalSize(std::span<const std::uint8_t> bytes, int maxVersion);

// tag: the whole tag as held (header first; shorter than its header says when the file ends
// early). A tag with non-zero flags or a version above 3 is ignored; the walk stops at padding, at
// a frame whose size runs past the tag, or when fewer than 11 bytes remain.
void readId3v2(std::span<const std::uint8_t> tag, TagFields& fields);

} // namespace vlsmp3
