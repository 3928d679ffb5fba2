#include "id3v1reader.h"

#include "genretable.h"
#include "tagtextreader.h"

namespace vlsmp3 {

namespace {

std::u16string field(std::span<const std::uint8_t, 128> trailer, std::size_t at, std::size_t width)
{
    std::u16string text = latin1Text(trailer.subspan(at, width));
    while (!text.empty() && text.back() == u' ')
        text.pop_back();
    return text;
}

} // namespace

bool isId3v1(std::span<const std::uint8_t, 128> trailer)
{
    return trailer[0] == 'T' && trailer[1] == 'A' && trailer[2] == 'G';
}

void readId3v1(std::span<const std::uint8_t, 128> trailer, TagFields& fields)
{
    fields.title = field(trailer, 3, 30);
    fields.artist = field(trailer, 33, 30);
    fields.album = field(trailer, 63, 30);
    fields.year = field(trailer, 93, 4);
    fields.comment = field(trailer, 97, 30);
    if (trailer[127] < genreCount) {
        const std::string_view name = genreNames[trailer[127]];
        fields.genre.assign(name.begin(), name.end());
    }
    if (trailer[125] == 0) {
        const std::string number = std::to_string(trailer[126]);
        fields.trackNo.assign(number.begin(), number.end());
    }
}

} // namespace vlsmp3
