#include "wavereader.h"

#include "filesource.h"
#include "vlscom/endian.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vlsmp3 {

namespace {

constexpr std::uint64_t chunkHeaderSize = 8;

struct ChunkHeader {
    char id[4];
    std::uint32_t size;
};

bool readHeader(ByteSource& source, std::uint64_t offset, ChunkHeader& header)
{
    std::uint8_t bytes[chunkHeaderSize];
    if (source.readAt(offset, bytes, sizeof bytes) != sizeof bytes)
        return false;
    std::memcpy(header.id, bytes, 4);
    header.size = vlscom::readLe32(bytes + 4);
    return true;
}

bool isId(const ChunkHeader& header, const char (&id)[5])
{
    return std::memcmp(header.id, id, 4) == 0;
}

// Offset after a chunk whose contents start at offset, padded to an even size.
std::uint64_t nextChunk(std::uint64_t offset, std::uint32_t size)
{
    return offset + size + (size & 1U);
}

} // namespace

WaveReader::WaveReader(std::unique_ptr<ByteSource> source)
    : m_source(std::move(source))
{
}

std::unique_ptr<WaveReader> WaveReader::openFile(const std::string& path, WaveContents accepted)
{
    std::unique_ptr<ByteSource> source;
    try {
        source = std::make_unique<FileSource>(path);
    } catch (const std::exception&) {
        return nullptr;
    }
    return open(std::move(source), accepted);
}

std::unique_ptr<WaveReader> WaveReader::open(std::unique_ptr<ByteSource> source, WaveContents accepted)
{
    std::unique_ptr<WaveReader> reader(new WaveReader(std::move(source)));
    try {
        if (!reader->parse(accepted))
            return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    return reader;
}

bool WaveReader::parse(WaveContents accepted)
{
    ByteSource& source = *m_source;
    const std::uint64_t fileSize = source.size();

    // The first top-level RIFF chunk of form type WAVE.
    std::uint64_t offset = 0;
    std::uint64_t riffEnd = 0;
    for (;;) {
        ChunkHeader header {};
        if (!readHeader(source, offset, header))
            return false;
        const std::uint64_t contents = offset + chunkHeaderSize;
        if (isId(header, "RIFF") && header.size >= 4) {
            std::uint8_t form[4];
            if (source.readAt(contents, form, 4) != 4)
                return false;
            if (std::memcmp(form, "WAVE", 4) == 0) {
                offset = contents + 4;
                riffEnd = contents + header.size;
                break;
            }
        }
        offset = nextChunk(contents, header.size);
        if (offset >= fileSize)
            return false;
    }

    bool haveFormat = false;
    bool haveData = false;
    bool haveInfo = false;
    for (;;) {
        ChunkHeader header {};
        // A header that does not fit in the RIFF chunk or the file ends the walk.
        if (offset + chunkHeaderSize > riffEnd || !readHeader(source, offset, header))
            break;
        const std::uint64_t contents = offset + chunkHeaderSize;
        if (contents + header.size > riffEnd)
            return false;
        if (!haveFormat && isId(header, "fmt ")) {
            // Shorter than the PCM record leaves fields undefined; longer than the file cannot be read.
            if (header.size < 16 || header.size > fileSize - contents)
                return false;
            std::vector<std::uint8_t> record(std::max(header.size, minimumFormatSize), 0);
            if (source.readAt(contents, record.data(), header.size) != header.size)
                return false;
            m_format = WaveFormat { vlscom::readLe16(record.data()), vlscom::readLe16(&record[2]),
                vlscom::readLe32(&record[4]), vlscom::readLe32(&record[8]), vlscom::readLe16(&record[12]),
                vlscom::readLe16(&record[14]), 0 };
            if (accepted == WaveContents::Pcm && m_format.wFormatTag != WAVE_FORMAT_PCM)
                return false;
            haveFormat = true;
        } else if (!haveInfo && isId(header, "LIST") && header.size >= 4) {
            std::uint8_t type[4];
            if (source.readAt(contents, type, 4) == 4 && std::memcmp(type, "INFO", 4) == 0) {
                m_infoList.resize(std::min(header.size - 4, infoLimit));
                if (!m_infoList.empty())
                    m_infoList.resize(source.readAt(contents + 4, m_infoList.data(), m_infoList.size()));
                haveInfo = true;
            }
        } else if (!haveData && isId(header, "data")) {
            m_dataSize = header.size;
            m_dataOffset = contents;
            haveData = true;
        }
        offset = nextChunk(contents, header.size);
    }
    return haveFormat && haveData && m_dataSize > 0;
}

std::size_t WaveReader::read(std::span<std::uint8_t> out)
{
    const std::uint64_t left = m_dataSize - m_consumed;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), left));
    if (wanted == 0)
        return 0;
    const std::size_t count = m_source->readAt(m_dataOffset + m_consumed, out.data(), wanted);
    m_consumed += count;
    return count;
}

} // namespace vlsmp3
