#pragma once

// How the converter picks a decoder class for a file, and names the destination after the source.

#include "vlscom/guid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vlsconv {

enum class FileKind { Unknown, WindowsMedia, Mpeg, Vorbis, Wave };

// By the last four characters of a name longer than four: ".wma", ".mp3", ".ogg", ".wav", letters
// compared without regard to case. Anything else is Unknown.
FileKind fileKindOf(std::u16string_view name);

// The decoder class for a file kind other than Wave and Unknown.
CLSID decoderClassFor(FileKind kind);

// The decoder class for the format tag of a WAV file's "fmt " chunk: 1 (PCM) selects the wave
// decoder, 85 (MPEG Layer-3) the MP3 decoder; nullopt for any other tag.
std::optional<CLSID> decoderClassForFormatTag(std::uint16_t formatTag);

// The name cut before its last "." (which may lie in a folder name); a name without a dot as it is.
std::u16string destinationNameFor(std::u16string_view sourceName);

} // namespace vlsconv
