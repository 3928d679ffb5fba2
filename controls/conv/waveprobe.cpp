#include "waveprobe.h"

#include "filesource.h"
#include "memorysource.h"
#include "riffchunks.h"
#include "vlscom/endian.h"

#include <algorithm>
#include <exception>

namespace vlsconv {

namespace {

std::optional<std::uint16_t> probe(vlsmp3::ByteSource& source)
{
    const auto form = vlsmp3::findRiffForm(source, "WAVE");
    if (!form)
        return std::nullopt;
    // Unlike the wave reader, a chunk that reaches past the RIFF chunk's end is stepped over.
    vlsmp3::RiffChunkWalker walker(source, form->firstChunk, form->endOfForm);
    while (const auto chunk = walker.next()) {
        if (!chunk->is("fmt "))
            continue;
        const std::uint64_t wanted = std::max<std::uint64_t>(chunk->size, 18);
        std::uint8_t tag[2];
        if (source.size() - chunk->contents < wanted || source.readAt(chunk->contents, tag, 2) != 2)
            return std::nullopt;
        return vlscom::readLe16(tag);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::uint16_t> probeWaveFormatTag(std::span<const std::uint8_t> bytes)
{
    vlsmp3::MemorySource source(bytes);
    return probe(source);
}

std::optional<std::uint16_t> probeWaveFileFormatTag(const std::string& path)
{
    try {
        vlsmp3::FileSource source(path);
        return probe(source);
    } catch (const std::exception&) {
        // Not a regular file, or one that cannot be opened or read.
        return std::nullopt;
    }
}

} // namespace vlsconv
