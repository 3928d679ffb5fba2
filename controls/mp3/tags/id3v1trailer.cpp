#include "id3v1trailer.h"

#include "genretable.h"
#include "tagtext.h"

#include <algorithm>

namespace vlsmp3 {

namespace {
void putText(Id3v1Trailer& trailer, std::size_t offset, std::size_t width, std::u16string_view text)
{
    // A character takes at most two UTF-16 units and gives one byte.
    const std::string bytes = toLatin1(text.substr(0, std::min(text.size(), 2 * width)));
    const std::size_t count = std::min(bytes.size(), width);
    std::copy_n(bytes.begin(), count, trailer.begin() + static_cast<std::ptrdiff_t>(offset));
}
} // namespace

std::optional<Id3v1Trailer> buildId3v1Trailer(const TagFields& tags)
{
    if (tags.empty())
        return std::nullopt;
    Id3v1Trailer trailer {};
    trailer[0] = 'T';
    trailer[1] = 'A';
    trailer[2] = 'G';
    putText(trailer, 3, 30, tags.title);
    putText(trailer, 33, 30, tags.artist);
    putText(trailer, 63, 30, tags.album);
    putText(trailer, 93, 4, tags.year);
    if (tags.trackNo.empty()) {
        putText(trailer, 97, 30, tags.comment);
    } else {
        putText(trailer, 97, 28, tags.comment);
        trailer[125] = 0;
        trailer[126]
            = static_cast<std::uint8_t>(static_cast<unsigned long>(leadingInteger(tags.trackNo)) & 0xFF);
    }
    trailer[127] = genreByte(tags.genre);
    return trailer;
}

} // namespace vlsmp3
