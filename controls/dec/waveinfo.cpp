#include "waveinfo.h"

#include "memorysource.h"
#include "riffchunks.h"
#include "vlscom/bstr.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace vlsdec {

namespace {

std::u16string text(std::span<const std::uint8_t> bytes)
{
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t(0));
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), std::size_t(end - bytes.begin()));
    std::u16string decoded = vlscom::toUtf16(raw);
    // Text that does not survive the round trip was not UTF-8: older writers used a single-byte
    // code page.
    if (vlscom::toUtf8(decoded) == raw)
        return decoded;
    std::u16string latin1;
    for (const char c : raw)
        latin1.push_back(static_cast<unsigned char>(c));
    return latin1;
}

} // namespace

vlsmp3::TagFields tagsFromInfoList(std::span<const std::uint8_t> list)
{
    struct Field {
        const char* id;
        std::u16string vlsmp3::TagFields::*field;
    };
    static constexpr Field fields[]
        = { { "INAM", &vlsmp3::TagFields::title }, { "IART", &vlsmp3::TagFields::artist },
              { "IPRD", &vlsmp3::TagFields::album }, { "ICRD", &vlsmp3::TagFields::year },
              { "IGNR", &vlsmp3::TagFields::genre }, { "ITRK", &vlsmp3::TagFields::trackNo },
              { "IPRT", &vlsmp3::TagFields::trackNo }, { "ICMT", &vlsmp3::TagFields::comment } };
    vlsmp3::TagFields tags;
    bool seen[std::size(fields)] = {};
    // A copy: the list is at most the wave reader's limit of 64 KiB.
    vlsmp3::MemorySource source(list);
    vlsmp3::RiffChunkWalker walker(source, 0, list.size());
    while (const auto chunk = walker.next()) {
        if (chunk->end() > list.size())
            break;
        const auto value = list.subspan(chunk->contents, chunk->size);
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (!seen[i] && std::memcmp(chunk->id.data(), fields[i].id, 4) == 0) {
                seen[i] = true;
                // ITRK and IPRT both name the track: the first with text counts.
                if ((tags.*fields[i].field).empty())
                    tags.*fields[i].field = text(value);
            }
        }
    }
    return tags;
}

} // namespace vlsdec
