#pragma once

// Encodes a whole RIFF/WAVE file into an encoder's open output: the input format is set from the
// file, rates of 8000 to 12000 Hz are raised fourfold and 16000 to 24000 Hz twofold, and the PCM
// goes to Mp3Encoder::write in pieces of at most 4096 bytes. The output is neither opened nor
// closed here.

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace vlsmp3 {

class Mp3Encoder;

inline constexpr const char* waveNotOpenMessage = "Error: cannot convert: file is not open.";
inline constexpr const char* waveOpenFailedMessage = "Error: unable to open wave file.";
inline constexpr const char* waveAbortedMessage = "Error encoding wav-file. Conversion aborted.";
inline constexpr std::size_t wavePieceSize = 4096;

// A failure of the wave file itself (its message is one of the texts above).
class WaveEncodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the asynchronous form reports, called on the encoding caller's thread.
class WaveEncodeEvents {
public:
    virtual ~WaveEncodeEvents() = default;
    virtual void error(const std::string& message) = 0;
    virtual void start() = 0;
    // Percentage of the data chunk consumed, each value greater than the one before.
    virtual void progress(int percent) = 0;
    virtual void finish() = 0;
};

// Up-sampling factor for a wave's rate (Hz): 4, 2 or 1.
int waveUpsamplingFactor(std::uint32_t sampleRate);

// Synchronous form: throws WaveEncodeError when the file cannot be opened, and what
// Mp3Encoder::setInputFormatWfx and Mp3Encoder::write throw, except that a pipe broken by a
// failed encoding thread gives that thread's failure (#17 to #20). encoder must have an open output.
void encodeWave(Mp3Encoder& encoder, const std::string& path);

// Asynchronous form, run on its own thread: failures become events. Setting stop ends the
// encoding after the current piece without further events.
void encodeWave(
    Mp3Encoder& encoder, const std::string& path, WaveEncodeEvents& events, const std::atomic<bool>& stop);

} // namespace vlsmp3
