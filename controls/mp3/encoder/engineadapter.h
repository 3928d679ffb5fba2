#pragma once

// The engine interface's six stream operations on top of libmp3lame. One adapter per encoder: it
// holds that encoder's stream (at most one at a time) and the stream's VBR header, so encoders
// never share engine state. The operations of one adapter are called from one thread at a time.
//
// A stream that lowers the sample rate resamples on the calling thread and encodes on a worker
// thread of its own (ResampledEncoding): MP3 bytes then come back a few chunks late, all of them by
// the end of beDeinitStream, and bufferSize is larger to hold them.

#include "beconfig.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct lame_global_struct;

namespace vlsmp3 {

class LameBinding;
class ResampledEncoding;

using BE_ERR = std::uint32_t;
inline constexpr BE_ERR BE_ERR_SUCCESSFUL = 0;
inline constexpr BE_ERR BE_ERR_INVALID_FORMAT = 1;
inline constexpr BE_ERR BE_ERR_INVALID_FORMAT_PARAMETERS = 2;
inline constexpr BE_ERR BE_ERR_NO_MORE_HANDLES = 3;
inline constexpr BE_ERR BE_ERR_INVALID_HANDLE = 4;
inline constexpr BE_ERR BE_ERR_BUFFER_TOO_SMALL = 5;

struct BE_VERSION {
    int byMajorVersion; // of the engine library
    int byMinorVersion;
    std::string text; // "3.100"
};

class EngineAdapter {
public:
    explicit EngineAdapter(const LameBinding& lame);
    EngineAdapter(const EngineAdapter&) = delete;
    EngineAdapter& operator=(const EngineAdapter&) = delete;
    ~EngineAdapter();

    // Starts a stream with the configuration record (closing any earlier one). samples: the most
    // 16-bit sample values (all channels counted) that one beEncodeChunk takes: 1152 x channels
    // for MPEG-1 output, 576 x channels for MPEG-2 and 2.5. bufferSize: the least size in bytes of
    // the buffer that receives MP3 bytes.
    BE_ERR beInitStream(const BE_CONFIG& config, std::uint32_t& samples, std::uint32_t& bufferSize);

    // Encodes count sample values (interleaved when stereo; at most `samples`, a whole number of
    // sample frames) into output (at least bufferSize bytes); outputSize: the bytes produced.
    BE_ERR beEncodeChunk(
        std::uint32_t count, const std::int16_t* pcm, std::uint8_t* output, std::uint32_t& outputSize);

    // Flushes the stream into output and keeps its VBR header frame for beWriteVBRHeader.
    BE_ERR beDeinitStream(std::uint8_t* output, std::uint32_t& outputSize);

    // Ends the stream; the VBR header taken by beDeinitStream stays for beWriteVBRHeader.
    BE_ERR beCloseStream();

    // Writes the VBR header frame of the last stream over its placeholder, the first frame of the
    // file (after an ID3v2 tag at its start). Nothing to do when the stream had no VBR header.
    BE_ERR beWriteVBRHeader(const std::string& fileName);

    BE_VERSION beVersion() const;

    bool streamOpen() const { return m_stream != nullptr; }

private:
    BE_ERR configure(const BE_CONFIG& config);
    // Whether the record asks for a lower output rate, which the adapter then resamples itself.
    static bool resamplesDown(const BE_CONFIG& config);

    const LameBinding& m_lame;
    lame_global_struct* m_stream = nullptr;
    std::uint32_t m_channels = 0;
    std::uint32_t m_samples = 0;
    std::uint32_t m_bufferSize = 0;
    std::vector<std::uint8_t> m_vbrHeader;
    std::unique_ptr<ResampledEncoding> m_resampled;
};

} // namespace vlsmp3
