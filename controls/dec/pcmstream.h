#pragma once

// The format-specific side of a decoder object: an open file delivering PCM in its own (native)
// format. The decoder object drives it in reading runs: startRun before the first read of a run,
// read until it returns 0 (the end of the stream), then endRun. A run after the end starts where
// the previous one stopped, or at a pending seek. Reads and runs happen on one thread at a time.

#include "tagfields.h"
#include "waveformat.h"

#include <cstdint>
#include <span>

namespace vlsdec {

class PcmStream {
public:
    virtual ~PcmStream() = default;

    // PCM, 1 or 2 channels, 8 or 16 bits, the file's own rate.
    virtual const WAVEFORMATEX& format() const = 0;
    // Average bits per second of the file's audio.
    virtual std::int32_t bitrate() const = 0;
    // Seconds of audio in the file.
    virtual double duration() const = 0;
    // Milliseconds of audio delivered since the start or the last seek target.
    virtual double positionMs() const = 0;
    // The tag fields the file carries (empty fields for those it lacks).
    virtual const vlsmp3::TagFields& tags() const = 0;

    // Moves the read position (ms from the start, clamped to the audio), effective at the next
    // read, also during a run.
    virtual void seek(std::int64_t targetMs) = 0;
    virtual void startRun() { }
    // Up to out.size() bytes (a sample frame may be split between reads); 0 only at the end of
    // the stream. Throws vlsshell::ControlError (or vlsmp3::DecoderError) on a failure.
    virtual std::size_t read(std::span<std::uint8_t> out) = 0;
    virtual void endRun() { }
};

} // namespace vlsdec
