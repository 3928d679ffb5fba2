#include "decoderselection.h"

#include "vlsdec.h"

#include <algorithm>

namespace vlsconv {

namespace {

char16_t upper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool sameIgnoringCase(std::u16string_view text, std::u16string_view upperCase)
{
    return std::equal(text.begin(), text.end(), upperCase.begin(), upperCase.end(),
        [](char16_t a, char16_t b) { return upper(a) == b; });
}

} // namespace

FileKind fileKindOf(std::u16string_view name)
{
    if (name.size() <= 4)
        return FileKind::Unknown;
    const std::u16string_view extension = name.substr(name.size() - 4);
    if (sameIgnoringCase(extension, u".WMA"))
        return FileKind::WindowsMedia;
    if (sameIgnoringCase(extension, u".MP3"))
        return FileKind::Mpeg;
    if (sameIgnoringCase(extension, u".OGG"))
        return FileKind::Vorbis;
    if (sameIgnoringCase(extension, u".WAV"))
        return FileKind::Wave;
    return FileKind::Unknown;
}

CLSID decoderClassFor(FileKind kind)
{
    switch (kind) {
    case FileKind::WindowsMedia:
        return CLSID_VlsWMADecoder;
    case FileKind::Mpeg:
        return CLSID_VlsMP3Decoder;
    case FileKind::Vorbis:
        return CLSID_VlsVorbisDecoder;
    case FileKind::Wave:
    case FileKind::Unknown:
        break;
    }
    return GUID_NULL;
}

std::optional<CLSID> decoderClassForFormatTag(std::uint16_t formatTag)
{
    constexpr std::uint16_t pcm = 1;
    constexpr std::uint16_t mpegLayer3 = 85;
    if (formatTag == pcm)
        return CLSID_VlsWaveDecoder;
    if (formatTag == mpegLayer3)
        return CLSID_VlsMP3Decoder;
    return std::nullopt;
}

std::u16string destinationNameFor(std::u16string_view sourceName)
{
    const std::size_t dot = sourceName.rfind(u'.');
    return std::u16string(dot == std::u16string_view::npos ? sourceName : sourceName.substr(0, dot));
}

} // namespace vlsconv
