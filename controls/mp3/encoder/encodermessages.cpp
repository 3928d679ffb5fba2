#include "encodermessages.h"

#include "systemtext.h"

#include <array>

namespace vlsmp3 {

namespace {
using enum EncoderMessage;

constexpr auto catalogue = std::to_array<EncoderMessageEntry>({
    { LibraryNotLoaded, 1, "Internal error #1. Lame_enc.dll could not be loaded." },
    { EngineNotInitialized, 2, "Internal error #2. Cannot initialize encoding engine." },
    { CannotCreateFile, 3, "Internal error #3. Cannot create file. System error message: %s." },
    { NullHandle, 4, "Internal error #4. Null handle passed to OpenHandle method." },
    { DirectInitFailed, 5, "Internal error #5. beInitStream failed." },
    { PresetInitFailed, 6, "Internal error #6. beInitStream failed." },
    { CannotCreatePipe, 7, "Internal error #7. Cannot create pipe. System error message: %s." },
    { CannotCreateThread, 8, "Internal error #8. Cannot create encoding thread. System error message: %s." },
    { PipeBroken, 9, "Internal error #9. Pipe broken. System error message: %s." },
    { FlushFailed, 10, "Internal error #10." },
    { FlushWriteFailed, 11, "Internal error #11. Write error. System error message: %s." },
    { TagCreateFailed, 12, "Internal error #12. Cannot write id3v2 tag. System error message: %s." },
    { TagWriteFailed, 13, "Internal error #13. Cannot write id3v2 tag. System error message: %s." },
    { TagOpenFailed, 14, "Internal error #14. Cannot write id3v2 tag. System error message: %s." },
    { TagReadFailed, 15, "Internal error #15. Cannot write id3v2 tag. System error message: %s." },
    { TagCopyFailed, 16, "Internal error #16. Cannot write id3v2 tag. System error message: %s." },
    { EncodingFailed8Bit, 17, "Internal error #17. Encoding failed." },
    { WriteFailed8Bit, 18, "Internal error #18. Cannot write. System error message: %s" },
    { EncodingFailed16Bit, 19, "Internal error #19. Encoding failed." },
    { WriteFailed16Bit, 20, "Internal error #20. Cannot write. System error message: %s" },
    { Id3v1WriteFailed, 0, "Cannot write id3v1 tag. System error message: %s." },
    { OutputCloseFailed, 0, "Cannot close the output file. System error message: %s." },
    { TagReplaceFailed, 0,
        "Cannot write id3v2 tag: the tagged copy could not replace the file. System error message: %s." },
    { TagOutputNotRegular, 0, "Cannot write id3v2 tag: the output is not a regular file." },
    { CancelledByUser, 0, "Cancelled by user." },
    { WrongChannels, 0, "Input must have 1 or 2 channels." },
    { WrongBitsPerSample, 0, "Input must have 8 or 16 bits per sample." },
    { WrongSampleRate, 0,
        "Wrong input sample rate. Possible values are: 8000, 11025, 12000, 16000, 22050, 24000, 32000, "
        "44100, 48000." },
    { OnlyPcm, 0, "Only uncompressed PCM wave format is supported." },
    { WrongQuality, 0, "fQuality must be between 0 and 1." },
    { WrongAbrBitrate, 0, "Bitrate must be between 80000 and 320000 in ABR mode." },
    { WrongCbrBitrate, 0, "Wrong bitrate specified for this input format." },
    { NotOpenForWrite, 0, "Error: cannot write: file is not open." },
    { NotOpenForProperty, 0, "Error: cannot access property: file is not open." },
    { VbrPresetNotSelected, 0, "VBR preset could not be selected." },
    { OverwriteQuestion, 0, "File already exists. Do you wish to overwrite it?" },
    { OverwriteCaption, 0, "MP3 Encoder Control" },
});

constexpr bool inEnumOrder()
{
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        if (static_cast<std::size_t>(catalogue[i].id) != i)
            return false;
    }
    return true;
}
static_assert(inEnumOrder(), "the catalogue is indexed by EncoderMessage");
} // namespace

std::span<const EncoderMessageEntry> encoderMessageCatalogue()
{
    return catalogue;
}

std::string_view messageText(EncoderMessage id)
{
    return catalogue.at(static_cast<std::size_t>(id)).text;
}

std::string formatMessage(EncoderMessage id, int errorCode)
{
    std::string text(messageText(id));
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, systemErrorText(errorCode));
    return text;
}

} // namespace vlsmp3
