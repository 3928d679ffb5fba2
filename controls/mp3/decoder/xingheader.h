#pragma once

// The Xing/Info header that VBR encoders write into the first frame.

#include "frameheader.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vlsmp3 {

struct XingHeader {
    std::uint32_t flags = 0;
    std::optional<std::uint32_t> frames;
    std::optional<std::uint32_t> bytes;
    // Positions (0-255) of 1 % steps; present only when the header carries one.
    std::optional<std::array<std::uint8_t, 100>> seekTable;
    std::optional<std::uint32_t> quality;
    // Encoder delay and padding in samples; absent when not present or above 3000.
    std::optional<int> encoderDelay;
    std::optional<int> encoderPadding;

    // Bytes to read from the start of the frame to find every field.
    static constexpr std::size_t probeSize = 172;

    // Where the header starts in a frame with that frame header: behind the side information.
    static std::size_t offsetIn(FrameHeader header);

    // The header in the frame that starts with frame (the four header bytes first), or none. Reads
    // only inside frame.
    static std::optional<XingHeader> parse(FrameHeader header, std::span<const std::uint8_t> frame);
};

} // namespace vlsmp3
