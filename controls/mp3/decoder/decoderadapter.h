#pragma once

// The three-call decoder over libmpg123's feed interface: init, decode and exit. Output is
// interleaved signed 16-bit PCM at the stream's own rate, with the channel count fixed at init.
// Gapless trimming is off, so every frame yields its full sample count.

#include "mpg123binding.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vlsmp3 {

enum class DecodeResult { Output = 0, NeedMore = 1, Error = -1 };

class DecoderAdapter {
public:
    // Bytes fed without any output after which decode reports an error (random bytes would
    // otherwise be swallowed for ever).
    static constexpr std::size_t feedLimit = std::size_t { 256 } * 1024;

    DecoderAdapter() = default;
    DecoderAdapter(const DecoderAdapter&) = delete;
    DecoderAdapter& operator=(const DecoderAdapter&) = delete;
    ~DecoderAdapter() { exit(); }

    // Starts a fresh decoding state for a stream of that many channels (1 or 2), sample rate (Hz)
    // and MPEG audio layer (1 to 3). A frame of another layer is a false header in damaged data:
    // its output is dropped. Throws DecoderError EngineNotInitialized when the library refuses.
    void init(int channels, int sampleRate, int layer = 3);
    // Feeds input (may be empty) and produces at most out.size() bytes into out, setting produced.
    // Output: bytes were produced and more may follow without input. NeedMore: give more input.
    // Error: the engine has given up on the stream here (also a format other than the stream's,
    // or more than feedLimit bytes fed without output).
    DecodeResult decode(
        std::span<const std::uint8_t> input, std::span<std::uint8_t> out, std::size_t& produced);
    void exit();
    // Moves output of the last frame that did not fit the caller's buffer into out; returns the
    // count. Called before a reset that must not lose what was decoded.
    std::size_t takePending(std::span<std::uint8_t> out);

    // Called for a frame that does not start where the last frame with output ended (the first
    // one, or one after damage) with the offset in the fed bytes where it ends; a frame for which it
    // answers false is a false header in damaged data and its output is dropped.
    void setFrameCheck(std::function<bool(std::uint64_t frameEnd)> check) { m_frameCheck = std::move(check); }

    // Offset, in the bytes fed since init, of the last frame that produced output; none before the
    // first. Where the stream can be picked up again when the engine gives up on damage after it.
    std::optional<std::uint64_t> lastGoodFrame() const { return m_lastGoodFrame; }

private:
    const Mpg123Binding* m_binding = nullptr;
    mpg123_handle* m_handle = nullptr;
    int m_channels = 0;
    long m_sampleRate = 0;
    int m_layer = 3;
    std::size_t m_fedWithoutOutput = 0;
    std::optional<std::uint64_t> m_lastGoodFrame;
    std::optional<std::uint64_t> m_lastFrameEnd;
    std::function<bool(std::uint64_t)> m_frameCheck;
    // Output of a frame that did not fit the caller's buffer.
    std::vector<std::uint8_t> m_pending;
    std::size_t m_pendingAt = 0;
};

} // namespace vlsmp3
