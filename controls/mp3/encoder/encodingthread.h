#pragma once

// The worker that drains an encoder's byte pipe, encodes what it reads and writes the MP3 bytes to
// the output. It ends when the pipe's writer closes its end (after encoding everything) or at the
// first failure, which it reports through the error sink; either way it closes the pipe's reader
// end, so a later write into the pipe fails. The thread is always joined (wait or destruction).

#include "encodermessages.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace vlsmp3 {

class BytePipe;
class EngineAdapter;

// Called on the encoding thread with the catalogue entry and the formatted text.
using EncoderErrorSink = std::function<void(EncoderMessage id, const std::string& message)>;

struct EncodingJob {
    EngineAdapter* engine;
    BytePipe* pipe;
    int output; // descriptor the MP3 bytes go to
    std::uint32_t samplesPerChunk; // 16-bit values per beEncodeChunk, all channels counted
    std::uint8_t* outputBuffer; // of the engine's output buffer size
    std::int16_t* conversionBuffer; // samplesPerChunk values; 8-bit input only
    std::uint16_t bitsPerSample; // 8 or 16
    std::uint16_t channels; // 1 or 2
    EncoderErrorSink errorSink;
};

class EncodingThread {
public:
    // Starts the thread. Throws EncoderError #8 with the system's text when it cannot start.
    explicit EncodingThread(EncodingJob job);
    EncodingThread(const EncodingThread&) = delete;
    EncodingThread& operator=(const EncodingThread&) = delete;
    // Waits for the thread.
    ~EncodingThread();

    // Waits without limit until the thread has ended.
    void wait();

    // Unsigned 8-bit PCM to signed 16-bit: (b - 128) * 256.
    static std::int16_t widen(std::uint8_t sample) { return static_cast<std::int16_t>((sample - 128) * 256); }

    // Chunks taken from the pipe at most per read.
    static constexpr std::size_t readChunks = 32;

private:
    void run();
    // False when it failed (and reported it).
    bool encode(const std::int16_t* samples, std::uint32_t count, bool eightBit);
    bool encodeBytes(const std::uint8_t* bytes, std::size_t size);
    // Writes the MP3 bytes encoded since the last call to the output; false when it failed (and
    // reported it).
    bool writeEncoded();

    EncodingJob m_job;
    std::vector<std::uint8_t> m_encoded;
    std::thread m_thread;
};

} // namespace vlsmp3
