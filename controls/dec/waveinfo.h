#pragma once

#include "tagfields.h"

#include <cstdint>
#include <span>

namespace vlsdec {

// The tag fields of a wave file's "LIST" "INFO" sub-chunks (the list's contents after its type):
// INAM (Title), IART (Artist), IPRD (Album), ICRD (Year), IGNR (Genre), ITRK or IPRT (TrackNo) and
// ICMT (Comment). Each text ends at its first zero byte; UTF-8 text is taken as such, anything else
// as ISO-8859-1. The first sub-chunk of an identifier counts (for TrackNo the first of ITRK and
// IPRT with text); the walk stops at a sub-chunk that does not fit.
vlsmp3::TagFields tagsFromInfoList(std::span<const std::uint8_t> list);

} // namespace vlsdec
