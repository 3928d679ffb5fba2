#pragma once

// The chunks of a RIFF file over a byte source: a chunk is a four-character identifier, a
// little-endian 32-bit size and that many bytes of contents, followed by one pad byte when the size
// is odd. Sizes are never trusted: a walk reads only headers that lie within its end and the source.

#include "bytesource.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace vlsmp3 {

struct RiffChunk {
    std::array<char, 4> id {};
    std::uint32_t size = 0;
    // Offset of the contents (just after the header).
    std::uint64_t contents = 0;

    bool is(const char (&name)[5]) const { return std::memcmp(id.data(), name, 4) == 0; }
    std::uint64_t end() const { return contents + size; }
};

// The chunks that follow one another from begin up to end (or the source's end, if sooner).
class RiffChunkWalker {
public:
    RiffChunkWalker(ByteSource& source, std::uint64_t begin, std::uint64_t end);

    // The next chunk whose header lies within the walk; nullopt when none does. Its contents may
    // reach past the end: the caller decides whether that ends the walk or fails it. Throws what the
    // source throws.
    std::optional<RiffChunk> next();

private:
    ByteSource& m_source;
    std::uint64_t m_offset;
    std::uint64_t m_end;
};

// The sub-chunks of the first top-level "RIFF" chunk of the given form type ("WAVE"); other
// top-level chunks are stepped over. endOfForm is the end the RIFF chunk states, which may lie past
// the source's end. nullopt when there is no such chunk.
struct RiffForm {
    std::uint64_t firstChunk = 0;
    std::uint64_t endOfForm = 0;
};
std::optional<RiffForm> findRiffForm(ByteSource& source, const char (&formType)[5]);

} // namespace vlsmp3
