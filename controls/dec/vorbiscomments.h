#pragma once

#include "tagfields.h"

#include <span>
#include <string_view>

namespace vlsdec {

// The tag fields of a list of Vorbis comments ("KEY=value", UTF-8): TITLE, ARTIST, ALBUM, DATE
// (Year), GENRE, TRACKNUMBER (TrackNo) and COMMENT, or DESCRIPTION when there is no COMMENT. Keys
// compare without regard to ASCII case; the first comment of a key counts; comments without "="
// are ignored.
vlsmp3::TagFields tagsFromComments(std::span<const std::string_view> comments);

} // namespace vlsdec
