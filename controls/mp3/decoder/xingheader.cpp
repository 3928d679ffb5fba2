#include "xingheader.h"

#include "vlscom/endian.h"

namespace vlsmp3 {

std::size_t XingHeader::offsetIn(FrameHeader header)
{
    const bool mpeg1 = header.bits() & (1u << 19);
    const bool mono = header.mode() == 3;
    return mpeg1 ? (mono ? 21 : 36) : (mono ? 13 : 21);
}

std::optional<XingHeader> XingHeader::parse(FrameHeader header, std::span<const std::uint8_t> frame)
{
    const std::size_t start = offsetIn(header);
    if (frame.size() < start + 8)
        return std::nullopt;
    const auto letter = [&](std::size_t i, char a, char b) {
        return frame[start + i] == static_cast<std::uint8_t>(a)
            || frame[start + i] == static_cast<std::uint8_t>(b);
    };
    if (!letter(0, 'X', 'I') || !letter(1, 'i', 'n') || !letter(2, 'n', 'f') || !letter(3, 'g', 'o'))
        return std::nullopt;
    XingHeader xing;
    xing.flags = vlscom::readBe<4>(frame, start + 4);
    std::size_t at = start + 8;
    const auto take32 = [&]() -> std::optional<std::uint32_t> {
        if (at + 4 > frame.size())
            return std::nullopt;
        const std::uint32_t value = vlscom::readBe<4>(frame, at);
        at += 4;
        return value;
    };
    if (xing.flags & 1)
        xing.frames = take32();
    if (xing.flags & 2)
        xing.bytes = take32();
    if (xing.flags & 4) {
        if (at + 100 <= frame.size()) {
            std::array<std::uint8_t, 100> table {};
            for (std::size_t i = 0; i < 100; ++i)
                table[i] = frame[at + i];
            xing.seekTable = table;
        }
        at += 100;
    }
    if (xing.flags & 8)
        xing.quality = take32();
    if (at + 24 <= frame.size()) {
        // Two 12-bit fields: the encoder's delay, then its padding.
        const std::uint32_t fields = vlscom::readBe<3>(frame, at + 21);
        const auto delay = static_cast<int>(fields >> 12);
        const auto padding = static_cast<int>(fields & 0xFFF);
        if (delay <= 3000)
            xing.encoderDelay = delay;
        if (padding <= 3000)
            xing.encoderPadding = padding;
    }
    return xing;
}

} // namespace vlsmp3
