// Vorbis comments on arbitrary bytes: the input split at line feeds into comments, as a file's
// comment list may hold any bytes; the fields must come out without reading past the comments.

#include "vorbiscomments.h"

#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> comments;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        comments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    // Views of exactly the comments' bytes, so that the sanitizer sees any read beyond them.
    std::vector<std::vector<char>> copies;
    for (const std::string_view comment : comments)
        copies.emplace_back(comment.begin(), comment.end());
    std::vector<std::string_view> views;
    for (const auto& copy : copies)
        views.emplace_back(copy.data(), copy.size());
    (void)vlsdec::tagsFromComments(views);
    return 0;
}
