#pragma once

// What the stream reader learns about an MP3 file before decoding.

#include "tagfields.h"
#include "xingheader.h"

#include <cstdint>
#include <optional>

namespace vlsmp3 {

struct StreamInfo {
    std::uint64_t fileSize = 0;
    // Byte offset of the first frame header.
    std::uint64_t firstFrameOffset = 0;
    // Bytes of audio: from the first frame to the ID3v1 trailer or the end, or the Xing byte count.
    std::uint64_t audioDataSize = 0;
    std::uint32_t firstHeader = 0;
    int sampleRate = 0;
    int channels = 0;
    // True for MPEG-2 and MPEG-2.5.
    bool lowSamplingFrequency = false;
    // True when a Xing/Info header with a frame count gave the duration.
    bool vbr = false;
    // Bytes per frame at the first header's bit rate (constant-rate case); 0 when unknown.
    int frameLength = 0;
    // Seconds.
    double duration = 0;
    // Bits per second.
    std::int32_t bitrate = 0;
    bool hasId3v1 = false;
    std::optional<XingHeader> xing;
    TagFields tags;
};

} // namespace vlsmp3
