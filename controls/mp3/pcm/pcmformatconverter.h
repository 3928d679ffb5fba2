#pragma once

// Converts PCM between channel counts (1, 2), sample sizes (8, 16 bits) and rates: source bytes
// go into a 524288-byte input ring, are processed in blocks of 1152 samples per channel, and the
// converted bytes wait in a 524288-byte output ring. Rates are converted by Blackman-windowed sinc
// interpolation (copied when the ratio is within 0.0001 of 1). Memory stays fixed however long
// the stream.

#include "bytering.h"
#include "pcmformat.h"
#include "sincresampler.h"

#include <optional>
#include <span>
#include <vector>

namespace vlsmp3 {

class PcmFormatConverter {
public:
    static constexpr std::size_t ringSize = 524288;
    static constexpr std::size_t blockSamples = 1152;

    // Both formats must have 1 or 2 channels, 8 or 16 bits and a rate above 0; throws
    // std::invalid_argument otherwise.
    PcmFormatConverter(const PcmFormat& source, const PcmFormat& target);

    const PcmFormat& source() const { return m_source; }
    const PcmFormat& target() const { return m_target; }
    // source rate ÷ target rate.
    double ratio() const { return m_ratio; }

    // Source bytes accepted by push without processing first.
    std::size_t inputRoom() const { return m_input.room(); }
    // Converted bytes waiting.
    std::size_t held() const { return m_output.held(); }

    // Appends source bytes (making room by processing whole blocks first when needed) and processes
    // blocks while more than 16000 bytes wait. Returns the bytes accepted: all of them unless the
    // output ring is too full to process (take() first).
    std::size_t push(std::span<const std::uint8_t> bytes);
    // Processes whole blocks while the output ring has room for one.
    void processWholeBlocks();
    // Processes everything waiting, the last block partial, then drains the resampling filter so
    // that the output ends at the input's end: the target frames are ceil(source frames × target
    // rate ÷ source rate) since the last flush. As far as the output ring has room; returns true
    // when everything is out, after which the next push starts a new stream. Call again after
    // take() while it returns false.
    bool flush();
    // Moves up to out.size() converted bytes into out; returns how many.
    std::size_t take(std::span<std::uint8_t> out);

private:
    std::size_t sourceBlockBytes() const { return blockSamples * m_source.blockAlign(); }
    // Output bytes one source block can produce, at most.
    std::size_t maxBlockOutput() const;
    bool canProcess() const { return m_output.room() >= maxBlockOutput(); }
    void processBlock();
    // Writes the first frames of m_channelOut to the output ring in the target format.
    void emitFrames(std::size_t frames);
    void drainFilter();

    PcmFormat m_source;
    PcmFormat m_target;
    double m_ratio;
    ByteRing m_input { ringSize };
    ByteRing m_output { ringSize };
    std::vector<std::optional<SincResampler>> m_resamplers;
    std::vector<std::uint8_t> m_blockBytes;
    std::vector<float> m_channelIn[2];
    std::vector<float> m_channelOut[2];
    std::vector<std::uint8_t> m_outBytes;
    // Source frames resampled and target frames written since the stream began.
    std::uint64_t m_sourceFrames = 0;
    std::uint64_t m_targetFrames = 0;
};

} // namespace vlsmp3
