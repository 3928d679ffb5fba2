#pragma once

#include "bytesource.h"
#include "pcmstream.h"
#include "vorbisfilebinding.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace vlsdec {

// An Ogg Vorbis file decoded by libvorbisfile into 16-bit PCM at the stream's own rate and
// channels (1 or 2); tags from its Vorbis comments. A seek takes effect at the next read.
class VorbisStream final : public PcmStream {
public:
    // Throws IoError when the file cannot be opened, ControlError NotAVorbisFile or
    // VorbisLayoutUnsupported when it is not a Vorbis file that can be decoded.
    static std::unique_ptr<VorbisStream> open(const VorbisfileBinding& library, const std::string& path);
    static std::unique_ptr<VorbisStream> open(
        const VorbisfileBinding& library, std::unique_ptr<vlsmp3::ByteSource> source);
    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;
    ~VorbisStream() override;

    const WAVEFORMATEX& format() const override { return m_format; }
    std::int32_t bitrate() const override { return m_bitrate; }
    double duration() const override { return m_duration; }
    double positionMs() const override { return m_positionMs.load(); }
    const vlsmp3::TagFields& tags() const override { return m_tags; }
    void seek(std::int64_t targetMs) override;
    // Throws ControlError VorbisDataCorrupt when the library fails on the data (or a seek), and
    // VorbisFormatChanged when a later section of a chained file has other channels or rate.
    std::size_t read(std::span<std::uint8_t> out) override;

private:
    struct Input {
        std::unique_ptr<vlsmp3::ByteSource> source;
        std::uint64_t offset = 0;
    };
    VorbisStream(const VorbisfileBinding& library, std::unique_ptr<vlsmp3::ByteSource> source);
    // The library's input callbacks over m_input.
    static std::size_t readInput(void* data, std::size_t size, std::size_t count, void* input);
    static int seekInput(void* input, ogg_int64_t offset, int whence);
    static long tellInput(void* input);
    // Reads the format, length, bit rate and tags of the open file.
    void describe();
    // One call of the library into out (whole frames); 0 at the end.
    std::size_t decode(std::span<std::uint8_t> out);

    const VorbisfileBinding& m_library;
    Input m_input;
    OggVorbis_File m_file {};
    WAVEFORMATEX m_format {};
    std::int32_t m_bitrate = 0;
    double m_duration = 0;
    std::int64_t m_totalFrames = 0;
    // Sample frames delivered from the start, on the reading thread.
    std::int64_t m_frame = 0;
    std::atomic<std::int64_t> m_pendingSeekMs { -1 };
    std::atomic<double> m_positionMs { 0 };
    // Decoded bytes not yet delivered (for reads smaller than a sample frame).
    std::vector<std::uint8_t> m_carry;
    std::size_t m_carried = 0;
    vlsmp3::TagFields m_tags;
};

} // namespace vlsdec
