#include "id3v2reader.h"

#include "tagtextreader.h"
#include "vlscom/endian.h"

#include <cstring>

namespace vlsmp3 {

namespace {

std::u16string frameText(std::span<const std::uint8_t> bytes, TagTextEncoding encoding)
{
    return encoding == TagTextEncoding::Latin1 ? latin1Text(bytes) : utf16Text(bytes);
}

void readFrame(const char* id, std::span<const std::uint8_t> body, TagFields& fields)
{
    if (body.empty())
        return;
    const TagTextEncoding encoding = body[0] == 0 ? TagTextEncoding::Latin1 : TagTextEncoding::Utf16;
    const std::span<const std::uint8_t> rest = body.subspan(1);
    struct Target {
        const char* id;
        std::u16string TagFields::*field;
    };
    static constexpr Target targets[] = {
        { "TIT2", &TagFields::title },
        { "TPE1", &TagFields::artist },
        { "TALB", &TagFields::album },
        { "TRCK", &TagFields::trackNo },
        { "TCON", &TagFields::genre },
        { "TYER", &TagFields::year },
    };
    for (const Target& target : targets) {
        if (std::memcmp(id, target.id, 4) == 0) {
            fields.*target.field = frameText(rest, encoding);
            return;
        }
    }
    if (std::memcmp(id, "COMM", 4) == 0) {
        if (body.size() < 4)
            return;
        const std::span<const std::uint8_t> description = body.subspan(4);
        fields.comment = frameText(description.subspan(pastTerminator(description, encoding)), encoding);
    }
}

} // namespace

std::uint64_t id3v2TotalSize(std::span<const std::uint8_t> bytes, int maxVersion)
{
    if (bytes.size() < 10 || bytes[0] != 'I' || bytes[1] != 'D' || bytes[2] != '3' || bytes[3] > maxVersion)
        return 0;
    const std::uint64_t size = (std::uint64_t(bytes[6] & 0x7F) << 21) | (std::uint64_t(bytes[7] & 0x7F) << 14)
        | (std::uint64_t(bytes[8] & 0x7F) << 7) | std::uint64_t(bytes[9] & 0x7F);
    return 10 + size;
}

void readId3v2(std::span<const std::uint8_t> tag, TagFields& fields)
{
    if (id3v2TotalSize(tag, 3) == 0 || tag[5] != 0)
        return;
    std::size_t at = 10;
    while (at < tag.size() && tag[at] != 0) {
        const std::size_t left = tag.size() - at;
        if (left < 11)
            break;
        const auto size = std::uint64_t { vlscom::readBe<4>(tag, at + 4) };
        if (size > left - 10)
            break;
        if (tag[at + 9] == 0) {
            char id[4];
            std::memcpy(id, tag.data() + at, 4);
            readFrame(id, tag.subspan(at + 10, size), fields);
        }
        at += 10 + size;
    }
}

} // namespace vlsmp3
