#include "decodermessages.h"

namespace vlsmp3 {

const DecoderMessageEntry decoderMessages[7] = {
    { DecoderMessage::LibraryNotLoaded, 1, "Internal error #1. mpglib.dll could not be loaded." },
    { DecoderMessage::EngineNotInitialized, 2, "Internal error #2. Cannot initialize decoding engine." },
    { DecoderMessage::UnexpectedEndOfFile, 0, "Unexpected end of file." },
    { DecoderMessage::StreamNotFound, 0, "MP3 stream not found in file." },
    { DecoderMessage::PropertyFileNotOpen, 0, "Error accessing property: file is not open." },
    { DecoderMessage::ReadFileNotOpen, 0, "Read error: file is not open." },
    { DecoderMessage::SeekFileNotOpen, 0, "Seek error: file is not open." },
};

std::string_view decoderMessageText(DecoderMessage id)
{
    return decoderMessages[static_cast<int>(id)].text;
}

} // namespace vlsmp3
