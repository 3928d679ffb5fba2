#pragma once

#include "pcmstream.h"
#include "wavereader.h"

#include <atomic>
#include <memory>
#include <string>

namespace vlsdec {

// The samples of a PCM RIFF/WAVE file, read through the system's RIFF/WAVE reader. The audio is
// the "data" chunk as far as the file holds it, in whole sample frames; the tags come from the
// file's "LIST" "INFO" chunk.
class WaveStream final : public PcmStream {
public:
    // Throws IoError when the file cannot be opened, ControlError with NotAWaveFile,
    // WaveNotPcm or WaveLayoutUnsupported when it is not a wave that can be decoded.
    static std::unique_ptr<WaveStream> open(const std::string& path);
    // The same over bytes in memory or elsewhere.
    static std::unique_ptr<WaveStream> open(std::unique_ptr<vlsmp3::ByteSource> source);

    const WAVEFORMATEX& format() const override { return m_format; }
    std::int32_t bitrate() const override;
    double duration() const override;
    double positionMs() const override;
    const vlsmp3::TagFields& tags() const override { return m_tags; }
    void seek(std::int64_t targetMs) override;
    // Throws ControlError WaveDataMissing when the file holds less than it did at opening.
    std::size_t read(std::span<std::uint8_t> out) override;

private:
    WaveStream(std::unique_ptr<vlsmp3::WaveReader> reader, std::uint64_t available);

    std::unique_ptr<vlsmp3::WaveReader> m_reader;
    WAVEFORMATEX m_format {};
    // Bytes of whole frames that the file held at opening.
    std::uint64_t m_available;
    // Bytes into the audio; read by Position from any thread.
    std::atomic<std::uint64_t> m_position { 0 };
    vlsmp3::TagFields m_tags;
};

} // namespace vlsdec
