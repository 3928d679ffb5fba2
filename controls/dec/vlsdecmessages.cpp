#include "vlsdecmessages.h"

#include "vlsshell/controlerror.h"

#include <string>

namespace vlsdec {

const DecMessageEntry decMessages[13] = {
    { DecMessage::VorbisLibraryNotLoaded, 1, "Internal error #1. libvorbisfile.so.3 could not be loaded." },
    { DecMessage::VorbisEngineNotInitialized, 2, "Internal error #2. Cannot initialize decoding engine." },
    { DecMessage::PropertyFileNotOpen, 0, "Error accessing property: file is not open." },
    { DecMessage::ReadFileNotOpen, 0, "Read error: file is not open." },
    { DecMessage::SeekFileNotOpen, 0, "Seek error: file is not open." },
    { DecMessage::NotAWaveFile, 0, "Not a valid RIFF/WAVE file." },
    { DecMessage::WaveNotPcm, 0, "Unsupported wave format: only PCM data can be decoded." },
    { DecMessage::WaveLayoutUnsupported, 0,
        "Unsupported wave format: 8-bit or 16-bit PCM with 1 or 2 channels expected." },
    { DecMessage::WaveDataMissing, 0, "Read error: the file ended before its audio data." },
    { DecMessage::NotAVorbisFile, 0, "Not a valid Ogg Vorbis file." },
    { DecMessage::VorbisLayoutUnsupported, 0, "Unsupported Ogg Vorbis stream: 1 or 2 channels expected." },
    { DecMessage::VorbisDataCorrupt, 0, "Read error: corrupt Ogg Vorbis data." },
    { DecMessage::VorbisFormatChanged, 0,
        "Read error: the Ogg Vorbis stream changes its channels or sample rate." },
};

std::string_view decMessageText(DecMessage id)
{
    return decMessages[static_cast<int>(id)].text;
}

void fail(DecMessage id)
{
    throw vlsshell::ControlError(std::string(decMessageText(id)));
}

} // namespace vlsdec
