#pragma once

// Reads an MP3 stream's parameters and tags: skips an ID3v2 tag, finds the first frame, decodes its
// header, reads a Xing/Info header, computes bit rate and duration, and reads the ID3v1 and ID3v2
// tags. Also finds frames for seeking and resynchronisation.

#include "bytesource.h"
#include "streaminfo.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vlsmp3 {

// Offsets tested when looking for a frame header.
inline constexpr std::uint64_t frameSearchLimit = 65536;

// Throws DecoderError: UnexpectedEndOfFile when the source ends during the scan, StreamNotFound
// when no header passes within frameSearchLimit offsets, a system error when a read fails.
// Allocates at most what the source holds (and at most the scan window).
StreamInfo readStream(ByteSource& source);

// Byte offset into the audio data for a position in milliseconds: through the Xing seek table for
// a VBR stream that has one, else in proportion to the duration. 0 when the duration is 0; never
// beyond the audio data size.
std::uint64_t seekOffset(const StreamInfo& info, std::int64_t targetMs);

// The offset of the first header at or after from that passes the strict test for the stream's
// channels and rate, testing at most frameSearchLimit offsets; none when the source ends first.
std::optional<std::uint64_t> findFrame(ByteSource& source, std::uint64_t from, const StreamInfo& info);

// Bytes behind a frame's start that infoFrameIn needs to see.
inline constexpr std::size_t infoFrameLookahead = 40;

struct InfoFrame {
    std::size_t offset = 0; // in the bytes given
    std::size_t length = 0; // bytes
};

// The first frame starting below limit in bytes that is a Xing/Info frame of the stream (a Layer
// III header passing the strict test, "Xing" or "Info" behind its side information, a known frame
// length). Such a frame in the middle of a stream starts a second stream joined to the first: it
// carries no audio. bytes reach infoFrameLookahead past limit where the source has them.
std::optional<InfoFrame> infoFrameIn(
    std::span<const std::uint8_t> bytes, std::size_t limit, const StreamInfo& info);

} // namespace vlsmp3
