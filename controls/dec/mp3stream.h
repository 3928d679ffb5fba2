#pragma once

#include "bytesource.h"
#include "decodingthread.h"
#include "pcmstream.h"
#include "streaminfo.h"

#include <memory>
#include <string>

namespace vlsdec {

// An MP3 stream decoded by the system's MP3 decoding thread: a plain MP3 file, or the "data" chunk
// of a RIFF/WAVE file whose format tag is 85 (MPEG Layer-3). 16-bit PCM at the stream's own rate
// and channels; tags from the stream's ID3 tags.
class Mp3Stream final : public PcmStream {
public:
    static constexpr std::uint16_t WAVE_FORMAT_MPEGLAYER3 = 85;

    // Throws IoError when the file cannot be opened or read, DecoderError UnexpectedEndOfFile or
    // StreamNotFound when it holds no MP3 stream (a RIFF/WAVE file of another format tag included).
    static std::unique_ptr<Mp3Stream> open(const std::string& path);
    static std::unique_ptr<Mp3Stream> open(const std::shared_ptr<vlsmp3::ByteSource>& file);

    const WAVEFORMATEX& format() const override { return m_format; }
    std::int32_t bitrate() const override { return m_info.bitrate; }
    double duration() const override { return m_info.duration; }
    double positionMs() const override { return m_thread->positionMs(); }
    const vlsmp3::TagFields& tags() const override { return m_info.tags; }
    void seek(std::int64_t targetMs) override { m_thread->seek(targetMs); }
    void startRun() override;
    std::size_t read(std::span<std::uint8_t> out) override;
    void endRun() override;

private:
    explicit Mp3Stream(std::unique_ptr<vlsmp3::ByteSource> audio);

    std::unique_ptr<vlsmp3::ByteSource> m_audio;
    vlsmp3::StreamInfo m_info;
    WAVEFORMATEX m_format {};
    std::unique_ptr<vlsmp3::DecodingThread> m_thread;
};

} // namespace vlsdec
