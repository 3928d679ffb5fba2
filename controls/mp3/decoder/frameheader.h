#pragma once

// An MPEG audio frame header (four bytes, big-endian) and the facts read from it. The stream reader
// treats every layer with the Layer III formulas.

#include <cstdint>

namespace vlsmp3 {

enum class MpegVersion { Mpeg1, Mpeg2, Mpeg25 };

class FrameHeader {
public:
    explicit FrameHeader(std::uint32_t bits)
        : m_bits(bits)
    {
    }

    // The scan's test: 11 sync bits, a layer, a bit-rate index other than 15 and a sample-rate
    // index other than 3 (version bits and bit-rate index 0 are not tested).
    bool plausible() const;
    // The test for seeking and resynchronisation: plausible, Layer III, and the given channel count
    // and sample rate (Hz).
    bool matches(int channels, int sampleRate) const;

    // True when other is a plausible header of a frame that can follow this one in the same stream:
    // the same version, layer, sample rate and channel count.
    bool sameStream(const FrameHeader& other) const;

    std::uint32_t bits() const { return m_bits; }
    MpegVersion version() const;
    // True for MPEG-2 and MPEG-2.5.
    bool lowSamplingFrequency() const { return version() != MpegVersion::Mpeg1; }
    // 1, 2 or 3 (4 for the reserved layer bits 00).
    int layer() const { return 4 - static_cast<int>((m_bits >> 17) & 3); }
    int bitrateIndex() const { return static_cast<int>((m_bits >> 12) & 15); }
    int sampleRateIndex() const { return static_cast<int>((m_bits >> 10) & 3); }
    int padding() const { return static_cast<int>((m_bits >> 9) & 1); }
    int mode() const { return static_cast<int>((m_bits >> 6) & 3); }
    // 1 for single channel, else 2.
    int channels() const { return mode() == 3 ? 1 : 2; }
    // Hz; 0 for the reserved index 3.
    int sampleRate() const;
    // kbit/s from the standard tables; 0 for free format (index 0) and the invalid index 15.
    int bitrateKbps() const;
    // 1152 for MPEG-1, 576 otherwise.
    int samplesPerFrame() const { return version() == MpegVersion::Mpeg1 ? 1152 : 576; }
    // Bytes of a frame at this bit rate: kbps × 144000 ÷ (rate, doubled for MPEG-2/2.5) + padding;
    // 0 when the bit rate or the sample rate is unknown.
    int frameLength() const;

private:
    std::uint32_t m_bits;
};

} // namespace vlsmp3
