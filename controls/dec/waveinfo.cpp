#include "waveinfo.h"

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
    std::size_t offset = 0;
    while (list.size() - offset >= 8) {
        const std::uint8_t* header = list.data() + offset;
        const std::uint32_t size = std::uint32_t(header[4]) | (std::uint32_t(header[5]) << 8)
            | (std::uint32_t(header[6]) << 16) | (std::uint32_t(header[7]) << 24);
        if (size > list.size() - offset - 8)
            break;
        const auto value = list.subspan(offset + 8, size);
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            if (!seen[i] && std::memcmp(header, fields[i].id, 4) == 0) {
                seen[i] = true;
                // ITRK and IPRT both name the track: the first with text counts.
                if ((tags.*fields[i].field).empty())
                    tags.*fields[i].field = text(value);
            }
        }
        offset += 8 + std::size_t(size) + (size & 1U);
        if (offset > list.size())
            break;
    }
    return tags;
}

} // namespace vlsdec
