#include "wavereader.h"

#include "filesource.h"
#include "riffchunks.h"
#include "vlscom/endian.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vlsmp3 {

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
    const auto form = findRiffForm(source, "WAVE");
    if (!form)
        return false;
    bool haveFormat = false;
    bool haveData = false;
    bool haveInfo = false;
    RiffChunkWalker walker(source, form->firstChunk, form->endOfForm);
    while (const auto chunk = walker.next()) {
        // A chunk that reaches past the RIFF chunk's end makes the file unreadable.
        if (chunk->end() > form->endOfForm)
            return false;
        if (!haveFormat && chunk->is("fmt ")) {
            // Shorter than the PCM record leaves fields undefined; longer than the file cannot be read.
            if (chunk->size < 16 || chunk->size > source.size() - chunk->contents)
                return false;
            std::vector<std::uint8_t> record(std::max(chunk->size, minimumFormatSize), 0);
            if (source.readAt(chunk->contents, record.data(), chunk->size) != chunk->size)
                return false;
            m_format = WaveFormat { vlscom::readLe16(record.data()), vlscom::readLe16(&record[2]),
                vlscom::readLe32(&record[4]), vlscom::readLe32(&record[8]), vlscom::readLe16(&record[12]),
                vlscom::readLe16(&record[14]), 0 };
            if (accepted == WaveContents::Pcm && m_format.wFormatTag != WAVE_FORMAT_PCM)
                return false;
            haveFormat = true;
        } else if (!haveInfo && chunk->is("LIST") && chunk->size >= 4) {
            std::uint8_t type[4];
            if (source.readAt(chunk->contents, type, 4) == 4 && std::memcmp(type, "INFO", 4) == 0) {
                m_infoList.resize(std::min(chunk->size - 4, infoLimit));
                if (!m_infoList.empty())
                    m_infoList.resize(
                        source.readAt(chunk->contents + 4, m_infoList.data(), m_infoList.size()));
                haveInfo = true;
            }
        } else if (!haveData && chunk->is("data")) {
            m_dataSize = chunk->size;
            m_dataOffset = chunk->contents;
            haveData = true;
        }
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
