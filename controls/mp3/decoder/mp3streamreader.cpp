#include "mp3streamreader.h"

#include "decodererror.h"
#include "id3v1reader.h"
#include "id3v2reader.h"
#include "ioerror.h"
#include "vlscom/endian.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

namespace vlsmp3 {

namespace {

// Bytes after a free-format candidate in which the next header of the same stream must start.
constexpr std::uint64_t freeFormatReach = 2048;

// A plausible header counts as the first frame only when the stream goes on behind it: the header
// where its frame ends (for free format, one within freeFormatReach) belongs to the same stream.
// Random bytes in front of the audio pass the plausibility test by chance far too often to be
// trusted alone. A candidate whose frame reaches the end of the bytes at hand, or an ID3v1
// trailer, is taken as it is, so that a file of a single frame still opens.
bool confirmed(std::span<const std::uint8_t> window, std::uint64_t at, const FrameHeader& candidate)
{
    const auto follows = [&](std::uint64_t next) {
        return FrameHeader(vlscom::readBe32(window.data() + next)).sameStream(candidate);
    };
    const int length = candidate.frameLength();
    if (length > 0) {
        const std::uint64_t next = at + static_cast<std::uint64_t>(length);
        return next + 4 > window.size() || follows(next) || std::memcmp(window.data() + next, "TAG", 3) == 0;
    }
    for (std::uint64_t next = at + 4; next <= at + freeFormatReach; ++next) {
        if (next + 4 > window.size())
            return true;
        if (follows(next))
            return true;
    }
    return false;
}

// First frame: the confirmed plausible header at scanStart + i for the smallest i.
std::uint64_t scanFirstFrame(ByteSource& source, std::uint64_t scanStart, std::uint32_t& header)
{
    // The window reaches far enough behind the last offset tested to confirm a header there.
    std::vector<std::uint8_t> window(frameSearchLimit + 3 + freeFormatReach + 4);
    window.resize(source.readAt(scanStart, window.data(), window.size()));
    const std::uint64_t got = window.size();
    for (std::uint64_t i = 0; i < frameSearchLimit; ++i) {
        if (i + 4 > got)
            throw DecoderError(DecoderMessage::UnexpectedEndOfFile);
        const FrameHeader candidate(vlscom::readBe32(window.data() + i));
        if (candidate.plausible() && confirmed(window, i, candidate)) {
            header = candidate.bits();
            return scanStart + i;
        }
    }
    throw DecoderError(DecoderMessage::StreamNotFound);
}

StreamInfo readStreamOf(ByteSource& source)
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

} // namespace

std::uint64_t seekOffset(const StreamInfo& info, std::int64_t targetMs)
{
    if (!(info.duration > 0) || targetMs <= 0)
        return 0;
    const auto size = double(info.audioDataSize);
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

namespace {

std::optional<std::uint64_t> findFrameOf(ByteSource& source, std::uint64_t from, const StreamInfo& info)
{
    std::vector<std::uint8_t> window(frameSearchLimit + 3);
    const std::size_t got = source.readAt(from, window.data(), window.size());
    for (std::uint64_t i = 0; i < frameSearchLimit && i + 4 <= got; ++i) {
        if (FrameHeader(vlscom::readBe32(window.data() + i)).matches(info.channels, info.sampleRate))
            return from + i;
    }
    return std::nullopt;
}

} // namespace

// A failed read of the source is the decoder's system error.
StreamInfo readStream(ByteSource& source)
{
    try {
        return readStreamOf(source);
    } catch (const IoError& error) {
        throw DecoderError::system(error.errorCode());
    }
}

std::optional<std::uint64_t> findFrame(ByteSource& source, std::uint64_t from, const StreamInfo& info)
{
    try {
        return findFrameOf(source, from, info);
    } catch (const IoError& error) {
        throw DecoderError::system(error.errorCode());
    }
}

std::optional<InfoFrame> infoFrameIn(
    std::span<const std::uint8_t> bytes, std::size_t limit, const StreamInfo& info)
{
    if (bytes.size() < infoFrameLookahead)
        return std::nullopt;
    const std::size_t end = std::min(limit, bytes.size() - infoFrameLookahead + 1);
    for (std::size_t at = 0; at < end; ++at) {
        // Frames start at a 0xFF byte; the library finds the next one fastest.
        const void* next = std::memchr(bytes.data() + at, 0xFF, end - at);
        if (!next)
            break;
        at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(next) - bytes.data());
        const FrameHeader header(vlscom::readBe32(bytes.data() + at));
        if (!header.matches(info.channels, info.sampleRate) || header.frameLength() <= 0)
            continue;
        const std::size_t tag = at + XingHeader::offsetIn(header);
        if (std::memcmp(bytes.data() + tag, "Xing", 4) == 0
            || std::memcmp(bytes.data() + tag, "Info", 4) == 0)
            return InfoFrame { at, static_cast<std::size_t>(header.frameLength()) };
    }
    return std::nullopt;
}

} // namespace vlsmp3
