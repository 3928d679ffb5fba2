#include "riffchunks.h"

#include "vlscom/endian.h"

#include <algorithm>

namespace vlsmp3 {

RiffChunkWalker::RiffChunkWalker(ByteSource& source, std::uint64_t begin, std::uint64_t end)
    : m_source(source)
    , m_offset(begin)
    , m_end(std::min(end, source.size()))
{
}

std::optional<RiffChunk> RiffChunkWalker::next()
{
    std::uint8_t header[8];
    if (m_offset > m_end || m_end - m_offset < sizeof header
        || m_source.readAt(m_offset, header, sizeof header) != sizeof header)
        return std::nullopt;
    RiffChunk chunk;
    std::memcpy(chunk.id.data(), header, 4);
    chunk.size = vlscom::readLe32(header + 4);
    chunk.contents = m_offset + sizeof header;
    m_offset = chunk.end() + (chunk.size & 1U);
    return chunk;
}

std::optional<RiffForm> findRiffForm(ByteSource& source, const char (&formType)[5])
{
    RiffChunkWalker walker(source, 0, source.size());
    while (const auto chunk = walker.next()) {
        char type[4];
        if (chunk->is("RIFF") && chunk->size >= 4 && source.readAt(chunk->contents, type, 4) == 4
            && std::memcmp(type, formType, 4) == 0)
            return RiffForm { chunk->contents + 4, chunk->end() };
    }
    return std::nullopt;
}

} // namespace vlsmp3
