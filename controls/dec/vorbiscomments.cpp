#include "vorbiscomments.h"

#include "vlscom/bstr.h"

#include <optional>

namespace vlsdec {

namespace {

bool sameKey(std::string_view key, std::string_view upper)
{
    if (key.size() != upper.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char c = key[i] >= 'a' && key[i] <= 'z' ? static_cast<char>(key[i] - 'a' + 'A') : key[i];
        if (c != upper[i])
            return false;
    }
    return true;
}

} // namespace

vlsmp3::TagFields tagsFromComments(std::span<const std::string_view> comments)
{
    struct Field {
        std::string_view key;
        std::optional<std::string_view> value;
    };
    Field fields[] = { { "TITLE", {} }, { "ARTIST", {} }, { "ALBUM", {} }, { "DATE", {} }, { "GENRE", {} },
        { "TRACKNUMBER", {} }, { "COMMENT", {} }, { "DESCRIPTION", {} } };
    for (const std::string_view comment : comments) {
        const std::size_t equals = comment.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view key = comment.substr(0, equals);
        for (Field& field : fields) {
            if (!field.value && sameKey(key, field.key))
                field.value = comment.substr(equals + 1);
        }
    }
    const auto text
        = [&](int i) { return fields[i].value ? vlscom::toUtf16(*fields[i].value) : std::u16string(); };
    vlsmp3::TagFields tags;
    tags.title = text(0);
    tags.artist = text(1);
    tags.album = text(2);
    tags.year = text(3);
    tags.genre = text(4);
    tags.trackNo = text(5);
    tags.comment = fields[6].value ? text(6) : text(7);
    return tags;
}

} // namespace vlsdec
