#pragma once

// The decoder's message catalogue: each message once, with its internal error number where it has
// one (0 = not numbered).

#include <string_view>

namespace vlsmp3 {

enum class DecoderMessage {
    LibraryNotLoaded,
    EngineNotInitialized,
    UnexpectedEndOfFile,
    StreamNotFound,
    PropertyFileNotOpen,
    ReadFileNotOpen,
    SeekFileNotOpen,
};

struct DecoderMessageEntry {
    DecoderMessage id;
    int number;
    std::string_view text;
};

// Every entry, in the order of the enumeration.
std::string_view decoderMessageText(DecoderMessage id);
extern const DecoderMessageEntry decoderMessages[7];

} // namespace vlsmp3
