#include "command.h"
#include "decoderclient.h"
#include "vlscom/bstr.h"

#include <cstdio>

namespace tmbr::cli {

namespace {

int runInfo(const Options& options);

} // namespace

const CommandDeclaration kInfoCommand = {
    .name = "info",
    .summary = "print an MP3 file's format, bit rate, duration and tags",
    .usage = "Usage: tmbr info FILE.mp3\n",
    .description = "Prints the MP3 file's channels, sample rate (Hz), bit rate (bit/s), duration\n"
                   "(whole seconds) and its seven tag fields, one per line, as the MP3 decoder\n"
                   "control reads them. Control characters in a field show as \\xNN (hex).\n",
    .options = {},
    .positionals = true,
    .helpColumn = 0,
    .listsHelpOption = false,
    .notes = "",
    .run = runInfo,
};

namespace {

// Tag text comes from the file: a control character (C0, DEL, C1) would reach the terminal as an
// escape sequence or a forged line, so each one is shown as \xNN.
std::string printable(std::u16string_view text)
{
    std::u16string shown;
    shown.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            static const char16_t digits[] = u"0123456789abcdef";
            shown += u"\\x";
            shown += digits[c >> 4];
            shown += digits[c & 0xF];
        } else {
            shown += c;
        }
    }
    return vlscom::toUtf8(shown);
}

std::string tagText(IAudioTag* tags, HRESULT (IAudioTag::*get)(BSTR*))
{
    BSTR value = nullptr;
    check((tags->*get)(&value));
    std::string text = printable(vlscom::bstrView(value));
    SysFreeString(value);
    return text;
}

int runInfo(const Options& options)
{
    if (options.positionals().size() != 1)
        throw options.error("expects one MP3 file");
    try {
        const auto decoder = openDecoder(options.positionals()[0]);
        WAVEFORMATEX format {};
        std::int32_t bitrate = 0;
        std::int32_t duration = 0;
        check(decoder->get_Format(&format));
        check(decoder->get_Bitrate(&bitrate));
        check(decoder->get_Duration(&duration));
        vlscom::ComPtr<IAudioTag> tags;
        check(decoder->get_TagData(tags.put()));
        std::string out;
        out += "Channels: " + std::to_string(format.nChannels) + "\n";
        out += "SampleRate: " + std::to_string(format.nSamplesPerSec) + "\n";
        out += "Bitrate: " + std::to_string(bitrate) + "\n";
        out += "Duration: " + std::to_string(duration) + "\n";
        out += "Title: " + tagText(tags.get(), &IAudioTag::get_Title) + "\n";
        out += "Artist: " + tagText(tags.get(), &IAudioTag::get_Artist) + "\n";
        out += "Album: " + tagText(tags.get(), &IAudioTag::get_Album) + "\n";
        out += "Year: " + tagText(tags.get(), &IAudioTag::get_Year) + "\n";
        out += "Genre: " + tagText(tags.get(), &IAudioTag::get_Genre) + "\n";
        out += "TrackNo: " + tagText(tags.get(), &IAudioTag::get_TrackNo) + "\n";
        out += "Comment: " + tagText(tags.get(), &IAudioTag::get_Comment) + "\n";
        std::fputs(out.c_str(), stdout);
        return kExitSuccess;
    } catch (const ComponentError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kExitFailure;
    }
}

} // namespace

} // namespace tmbr::cli
