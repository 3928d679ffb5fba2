#pragma once

// The seven text tag fields of an encoder (UTF-16, as the tag properties hold them).

#include <string>

namespace vlsmp3 {

struct TagFields {
    std::u16string title;
    std::u16string artist;
    std::u16string album;
    std::u16string year;
    std::u16string genre;
    std::u16string trackNo;
    std::u16string comment;

    bool empty() const
    {
        return title.empty() && artist.empty() && album.empty() && year.empty() && genre.empty()
            && trackNo.empty() && comment.empty();
    }
};

} // namespace vlsmp3
