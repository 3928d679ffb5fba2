#include "mp3streamreader.h"

#include "decodererror.h"
#include "id3v1reader.h"
#include "id3v2reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace vlsmp3 {

namespace {

std::uint32_t bigEndian32(const std::uint8_t* bytes)
{
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8)
        | std::uint32_t(bytes[3]);
}

// First frame: the plausible header at scanStart + i for the smallest i.
std::uint64_t scanFirstFrame(ByteSource& source, std::uint64_t scanStart, std::uint32_t& header)
{
    std::vector<std::uint8_t> window(frameSearchLimit + 3);
    const std::size_t got = source.readAt(scanStart, window.data(), window.size());
    for (std::uint64_t i = 0; i < frameSearchLimit; ++i) {
        if (i + 4 > got)
            throw DecoderError(DecoderMessage::UnexpectedEndOfFile);
        const FrameHeader candidate(bigEndian32(window.data() + i));
        if (candidate.plausible()) {
            header = candidate.bits();
            return scanStart + i;
        }
    }
    throw DecoderError(DecoderMessage::StreamNotFound);
}

} // namespace

StreamInfo readStream(ByteSource& source)
{
    StreamInfo info;
    info.fileSize = source.size();

    std::array<std::uint8_t, 10> head {};
    const std::size_t headSize = source.readAt(0, head.data(), head.size());
    const std::uint64_t scanStart = id3v2TotalSize(std::span(head.data(), headSize), 4);

    info.firstFrameOffset = scanFirstFrame(source, scanStart, info.firstHeader);
    info.audioDataSize = info.fileSize - info.firstFrameOffset;

    if (info.fileSize >= 128 && info.fileSize - 128 >= info.firstFrameOffset) {
        std::array<std::uint8_t, 128> trailer {};
        if (source.readAt(info.fileSize - 128, trailer.data(), trailer.size()) == trailer.size()
            && isId3v1(trailer)) {
            info.hasId3v1 = true;
            info.audioDataSize -= 128;
            readId3v1(trailer, info.tags);
        }
    }

    const FrameHeader header(info.firstHeader);
    info.lowSamplingFrequency = header.lowSamplingFrequency();
    info.channels = header.channels();
    info.sampleRate = header.sampleRate();
    const int samplesPerFrame = header.samplesPerFrame();

    std::array<std::uint8_t, XingHeader::probeSize> probe {};
    const std::size_t probed = source.readAt(info.firstFrameOffset, probe.data(), probe.size());
    info.xing = XingHeader::parse(header, std::span(probe.data(), probed));

    if (info.xing && info.xing->frames && *info.xing->frames > 0) {
        info.vbr = true;
        info.duration = double(*info.xing->frames) * samplesPerFrame / info.sampleRate;
        if (info.xing->bytes && *info.xing->bytes > 0)
            info.audioDataSize = *info.xing->bytes;
        info.bitrate = static_cast<std::int32_t>(
            std::min(double(info.audioDataSize) * 8 / info.duration, double(INT32_MAX)));
    } else {
        info.frameLength = header.frameLength();
        if (info.frameLength > 0) {
            const std::uint64_t frameCount
                = info.audioDataSize / static_cast<std::uint64_t>(info.frameLength);
            info.duration = double(frameCount) * samplesPerFrame / info.sampleRate;
        }
        info.bitrate = header.bitrateKbps() * 1000;
    }

    const std::uint64_t tagSize = id3v2TotalSize(std::span(head.data(), headSize), 3);
    if (tagSize > 0) {
        std::vector<std::uint8_t> tag(std::min(tagSize, info.fileSize));
        tag.resize(source.readAt(0, tag.data(), tag.size()));
        readId3v2(tag, info.tags);
    }
    return info;
}

std::uint64_t seekOffset(const StreamInfo& info, std::int64_t targetMs)
{
    if (!(info.duration > 0) || targetMs <= 0)
        return 0;
    const double size = double(info.audioDataSize);
    double offset = 0;
    if (info.vbr && info.xing && info.xing->seekTable) {
        const auto& table = *info.xing->seekTable;
        const double percent = std::clamp(double(targetMs) / (info.duration * 10), 0.0, 100.0);
        const int i = std::min(static_cast<int>(std::floor(percent)), 99);
        const double a = table[i];
        const double b = i > 98 ? 256.0 : table[i + 1];
        offset = (a + (percent - i) * (b - a)) * size / 256;
    } else {
        offset = double(targetMs) * size / (info.duration * 1000);
    }
    return static_cast<std::uint64_t>(std::clamp(offset, 0.0, size));
}

std::optional<std::uint64_t> findFrame(ByteSource& source, std::uint64_t from, const StreamInfo& info)
{
    std::vector<std::uint8_t> window(frameSearchLimit + 3);
    const std::size_t got = source.readAt(from, window.data(), window.size());
    for (std::uint64_t i = 0; i < frameSearchLimit && i + 4 <= got; ++i) {
        if (FrameHeader(bigEndian32(window.data() + i)).matches(info.channels, info.sampleRate))
            return from + i;
    }
    return std::nullopt;
}

} // namespace vlsmp3
