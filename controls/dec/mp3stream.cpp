#include "mp3stream.h"

#include "decodererror.h"
#include "filesource.h"
#include "mp3streamreader.h"
#include "rangesource.h"
#include "wavereader.h"

#include <cstring>

namespace vlsdec {

namespace {

bool isRiffWave(vlsmp3::ByteSource& file)
{
    char head[12];
    return file.readAt(0, head, sizeof head) == sizeof head && std::memcmp(head, "RIFF", 4) == 0
        && std::memcmp(head + 8, "WAVE", 4) == 0;
}

} // namespace

std::unique_ptr<Mp3Stream> Mp3Stream::open(const std::string& path)
{
    return open(std::make_shared<vlsmp3::FileSource>(path));
}

std::unique_ptr<Mp3Stream> Mp3Stream::open(const std::shared_ptr<vlsmp3::ByteSource>& file)
{
    std::unique_ptr<vlsmp3::ByteSource> audio;
    if (isRiffWave(*file)) {
        const auto wave = vlsmp3::WaveReader::open(
            std::make_unique<RangeSource>(file, 0, file->size()), vlsmp3::WaveContents::AnyFormat);
        if (!wave || wave->format().wFormatTag != WAVE_FORMAT_MPEGLAYER3)
            throw vlsmp3::DecoderError(vlsmp3::DecoderMessage::StreamNotFound);
        // The stream is the data chunk alone: chunks after it are not audio.
        audio = std::make_unique<RangeSource>(file, wave->dataOffset(), wave->dataSize());
    } else {
        audio = std::make_unique<RangeSource>(file, 0, file->size());
    }
    return std::unique_ptr<Mp3Stream>(new Mp3Stream(std::move(audio)));
}

Mp3Stream::Mp3Stream(std::unique_ptr<vlsmp3::ByteSource> audio)
    : m_audio(std::move(audio))
    , m_info(vlsmp3::readStream(*m_audio))
{
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = static_cast<std::uint16_t>(m_info.channels);
    m_format.nSamplesPerSec = static_cast<std::uint32_t>(m_info.sampleRate);
    m_format.wBitsPerSample = 16;
    m_format.nBlockAlign = static_cast<std::uint16_t>(m_info.channels * 2);
    m_format.nAvgBytesPerSec = m_format.nBlockAlign * m_format.nSamplesPerSec;
    m_format.cbSize = 0;
    m_thread = std::make_unique<vlsmp3::DecodingThread>(*m_audio, m_info);
}

void Mp3Stream::startRun()
{
    m_thread->start();
}

std::size_t Mp3Stream::read(std::span<std::uint8_t> out)
{
    return m_thread->readSome(out.data(), out.size());
}

void Mp3Stream::endRun()
{
    m_thread->finish();
}

} // namespace vlsdec
