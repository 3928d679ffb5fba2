#pragma once

// The encoder control's message catalogue: every text that the encoder reports, in one table.
// Numbered messages ("Internal error #N. ...") carry a number that appears at exactly one entry,
// and each message is raised for one kind of failure only: no two entries share a text.

#include <span>
#include <string>
#include <string_view>

namespace vlsmp3 {

enum class EncoderMessage {
    LibraryNotLoaded, // #1
    EngineNotInitialized, // #2
    CannotCreateFile, // #3
    NullHandle, // #4
    DirectInitFailed, // #5
    PresetInitFailed, // #6
    CannotCreatePipe, // #7
    CannotCreateThread, // #8
    PipeBroken, // #9
    FlushFailed, // #10
    FlushWriteFailed, // #11
    TagCreateFailed, // #12
    TagWriteFailed, // #13
    TagOpenFailed, // #14
    TagReadFailed, // #15
    TagCopyFailed, // #16
    EncodingFailed8Bit, // #17
    WriteFailed8Bit, // #18
    EncodingFailed16Bit, // #19
    WriteFailed16Bit, // #20
    // Failures found since the numbered ones, each with a text of its own and no number.
    Id3v1WriteFailed,
    OutputCloseFailed,
    TagReplaceFailed,
    TagOutputNotRegular,
    CancelledByUser,
    WrongChannels,
    WrongBitsPerSample,
    WrongSampleRate,
    OnlyPcm,
    WrongQuality,
    WrongAbrBitrate,
    WrongCbrBitrate,
    NotOpenForWrite,
    NotOpenForProperty,
    VbrPresetNotSelected,
    OverwriteQuestion,
    OverwriteCaption,
};

struct EncoderMessageEntry {
    EncoderMessage id;
    // The number of an "Internal error #N." message; 0 for the others.
    int internalNumber;
    // UTF-8; "%s" stands for the system's error text where the message has one.
    std::string_view text;
};

// The whole catalogue, one entry per EncoderMessage.
std::span<const EncoderMessageEntry> encoderMessageCatalogue();

std::string_view messageText(EncoderMessage id);

// The message with its "%s" replaced by the system's text for errorCode (an errno value).
std::string formatMessage(EncoderMessage id, int errorCode);

} // namespace vlsmp3
