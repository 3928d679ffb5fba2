#include "id3v2tag.h"

#include "tagtext.h"
#include "vlscom/endian.h"

#include <array>
#include <string_view>

namespace vlsmp3 {

namespace {
// A frame body's text: the encoding byte's value and the encoded bytes.
struct EncodedText {
    std::uint8_t encoding;
    std::vector<std::uint8_t> bytes;
};

void appendUtf16(std::vector<std::uint8_t>& bytes, std::u16string_view text)
{
    bytes.insert(bytes.end(), { 0xFF, 0xFE });
    for (const char16_t unit : text)
        vlscom::appendLe<2>(bytes, unit);
}

EncodedText encode(std::u16string_view text)
{
    EncodedText encoded { 0, {} };
    if (fitsLatin1(text)) {
        const std::string latin1 = toLatin1(text);
        encoded.bytes.assign(latin1.begin(), latin1.end());
    } else {
        encoded.encoding = 1;
        appendUtf16(encoded.bytes, text);
    }
    return encoded;
}

class TagBuilder {
public:
    TagBuilder()
        : m_tag { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 0 }
    {
    }

    // False when the frame does not fit (the tag is then abandoned).
    bool addText(std::string_view id, std::u16string_view text)
    {
        if (text.empty())
            return true;
        const EncodedText encoded = encode(text);
        std::vector<std::uint8_t> body { encoded.encoding };
        body.insert(body.end(), encoded.bytes.begin(), encoded.bytes.end());
        return addFrame(id, body);
    }

    bool addComment(std::u16string_view text)
    {
        if (text.empty())
            return true;
        const EncodedText encoded = encode(text);
        // Language "eng", then an empty description in the text's encoding.
        std::vector<std::uint8_t> body { encoded.encoding, 'e', 'n', 'g' };
        if (encoded.encoding == 1)
            body.insert(body.end(), { 0xFF, 0xFE, 0 });
        body.push_back(0);
        body.insert(body.end(), encoded.bytes.begin(), encoded.bytes.end());
        return addFrame("COMM", body);
    }

    std::vector<std::uint8_t> finish()
    {
        if (m_tag.size() < id3v2TagMinimum)
            m_tag.resize(id3v2TagMinimum, 0);
        const std::size_t size = m_tag.size() - 10;
        // Seven bits to a byte, most significant first.
        for (std::size_t i = 0; i < 4; ++i)
            m_tag[9 - i] = static_cast<std::uint8_t>((size >> (7 * i)) & 0x7F);
        return std::move(m_tag);
    }

private:
    bool addFrame(std::string_view id, const std::vector<std::uint8_t>& body)
    {
        if (m_tag.size() + 10 + body.size() > id3v2TagLimit)
            return false;
        const std::size_t size = body.size();
        m_tag.insert(m_tag.end(), id.begin(), id.end());
        vlscom::appendBe<4>(m_tag, static_cast<std::uint32_t>(size));
        m_tag.insert(m_tag.end(), { 0, 0 }); // flags
        m_tag.insert(m_tag.end(), body.begin(), body.end());
        return true;
    }

    std::vector<std::uint8_t> m_tag;
};
} // namespace

std::vector<std::uint8_t> buildId3v2Tag(const TagFields& tags)
{
    if (tags.empty())
        return {};
    TagBuilder builder;
    const bool fits = builder.addText("TCON", tags.genre) && builder.addText("TRCK", tags.trackNo)
        && builder.addComment(tags.comment) && builder.addText("TYER", tags.year)
        && builder.addText("TIT2", tags.title) && builder.addText("TPE1", tags.artist)
        && builder.addText("TALB", tags.album);
    if (!fits)
        return {};
    return builder.finish();
}

std::size_t id3v2TagSize(const std::uint8_t* header, std::size_t available)
{
    if (available < 10 || header[0] != 'I' || header[1] != 'D' || header[2] != '3')
        return 0;
    if (header[3] == 0xFF || header[4] == 0xFF)
        return 0;
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (header[i] & 0x80)
            return 0;
        size = (size << 7) | header[i];
    }
    const bool footer = (header[5] & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

} // namespace vlsmp3
