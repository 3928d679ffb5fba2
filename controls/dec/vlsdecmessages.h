#pragma once

// The message catalogue of the vlsdec decoders: each message once, with its internal error number
// where it has one (0 = not numbered). Messages shared with the MP3 decoder of vlsmp3x1 keep its
// texts.

#include <string_view>

namespace vlsdec {

enum class DecMessage {
    VorbisLibraryNotLoaded,
    VorbisEngineNotInitialized,
    PropertyFileNotOpen,
    ReadFileNotOpen,
    SeekFileNotOpen,
    NotAWaveFile,
    WaveNotPcm,
    WaveLayoutUnsupported,
    WaveDataMissing,
    NotAVorbisFile,
    VorbisLayoutUnsupported,
    VorbisDataCorrupt,
    VorbisFormatChanged,
};

struct DecMessageEntry {
    DecMessage id;
    int number;
    std::string_view text;
};

extern const DecMessageEntry decMessages[13];

// UTF-8.
std::string_view decMessageText(DecMessage id);

// Throws the message as the control's error (vlsshell::ControlError).
[[noreturn]] void fail(DecMessage id);

} // namespace vlsdec
