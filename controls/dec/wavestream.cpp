#include "wavestream.h"

#include "filesource.h"
#include "vlsdecmessages.h"
#include "waveinfo.h"

#include <algorithm>

namespace vlsdec {

std::unique_ptr<WaveStream> WaveStream::open(const std::string& path)
{
    return open(std::make_unique<vlsmp3::FileSource>(path));
}

std::unique_ptr<WaveStream> WaveStream::open(std::unique_ptr<vlsmp3::ByteSource> source)
{
    const std::uint64_t fileSize = source->size();
    auto reader = vlsmp3::WaveReader::open(std::move(source), vlsmp3::WaveContents::AnyFormat);
    if (!reader)
        fail(DecMessage::NotAWaveFile);
    const auto& record = reader->format();
    if (record.wFormatTag != WAVE_FORMAT_PCM)
        fail(DecMessage::WaveNotPcm);
    if ((record.nChannels != 1 && record.nChannels != 2)
        || (record.wBitsPerSample != 8 && record.wBitsPerSample != 16)
        || record.nBlockAlign != record.nChannels * record.wBitsPerSample / 8 || record.nSamplesPerSec == 0)
        fail(DecMessage::WaveLayoutUnsupported);
    // A chunk that states more than the file holds (a cut file) yields what is there.
    const std::uint64_t inFile = fileSize > reader->dataOffset() ? fileSize - reader->dataOffset() : 0;
    std::uint64_t available = std::min<std::uint64_t>(reader->dataSize(), inFile);
    available -= available % record.nBlockAlign;
    return std::unique_ptr<WaveStream>(new WaveStream(std::move(reader), available));
}

WaveStream::WaveStream(std::unique_ptr<vlsmp3::WaveReader> reader, std::uint64_t available)
    : m_reader(std::move(reader))
    , m_available(available)
{
    const auto& record = m_reader->format();
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = record.nChannels;
    m_format.nSamplesPerSec = record.nSamplesPerSec;
    m_format.wBitsPerSample = record.wBitsPerSample;
    m_format.nBlockAlign = record.nBlockAlign;
    // The stored average is not trusted: it follows from the rate and the block size.
    m_format.nAvgBytesPerSec = record.nSamplesPerSec * record.nBlockAlign;
    m_format.cbSize = 0;
    m_tags = tagsFromInfoList(m_reader->infoList());
}

std::int32_t WaveStream::bitrate() const
{
    return static_cast<std::int32_t>(
        std::min<std::uint64_t>(std::uint64_t(m_format.nAvgBytesPerSec) * 8, INT32_MAX));
}

double WaveStream::duration() const
{
    return double(m_available) / double(m_format.nAvgBytesPerSec);
}

double WaveStream::positionMs() const
{
    return double(m_position.load()) * 1000.0 / double(m_format.nAvgBytesPerSec);
}

void WaveStream::seek(std::int64_t targetMs)
{
    const auto ms = std::uint64_t(std::max<std::int64_t>(targetMs, 0));
    // In two parts, so that no product overflows.
    const std::uint64_t frames
        = ms / 1000 * m_format.nSamplesPerSec + ms % 1000 * m_format.nSamplesPerSec / 1000;
    const std::uint64_t position = std::min(frames * m_format.nBlockAlign, m_available);
    m_reader->seek(position);
    m_position.store(position);
}

std::size_t WaveStream::read(std::span<std::uint8_t> out)
{
    const std::uint64_t position = m_position.load();
    const std::uint64_t left = m_available - position;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), left));
    if (wanted == 0)
        return 0;
    const std::size_t count = m_reader->read(out.first(wanted));
    if (count == 0)
        fail(DecMessage::WaveDataMissing);
    m_position.store(position + count);
    return count;
}

} // namespace vlsdec
