#include "decoderadapter.h"

#include "decodererror.h"

#include <algorithm>
#include <cstring>

namespace vlsmp3 {

void DecoderAdapter::init(int channels, int sampleRate, int layer)
{
    exit();
    m_binding = &Mpg123Binding::bound();
    int error = MPG123_OK;
    m_handle = m_binding->create(nullptr, &error);
    if (!m_handle)
        throw DecoderError(DecoderMessage::EngineNotInitialized);
    m_channels = channels;
    m_sampleRate = sampleRate;
    m_layer = layer;
    m_fedWithoutOutput = 0;
    m_lastGoodFrame.reset();
    m_lastFrameEnd.reset();
    m_pending.clear();
    m_pendingAt = 0;
    // Seeking is ours; a frame of another channel count is mixed or duplicated so that the byte
    // stream keeps one layout. Streams joined one after the other decode as one: the engine must
    // not stop at a second stream's Info frame or at the frame count of the first.
    const long flags = MPG123_QUIET | (channels == 1 ? MPG123_MONO_MIX : MPG123_FORCE_STEREO);
    bool ok = m_binding->param(m_handle, MPG123_ADD_FLAGS, flags, 0) == MPG123_OK
        && m_binding->param(m_handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0) == MPG123_OK
        && m_binding->formatNone(m_handle) == MPG123_OK;
    const long* rates = nullptr;
    std::size_t rateCount = 0;
    m_binding->rates(&rates, &rateCount);
    for (std::size_t i = 0; ok && i < rateCount; ++i)
        ok = m_binding->format(m_handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16)
            == MPG123_OK;
    ok = ok && m_binding->openFeed(m_handle) == MPG123_OK;
    if (!ok) {
        exit();
        throw DecoderError(DecoderMessage::EngineNotInitialized);
    }
}

DecodeResult DecoderAdapter::decode(
    std::span<const std::uint8_t> input, std::span<std::uint8_t> out, std::size_t& produced)
{
    produced = 0;
    if (!m_handle)
        return DecodeResult::Error;
    if (!input.empty()) {
        if (m_binding->feed(m_handle, input.data(), input.size()) != MPG123_OK)
            return DecodeResult::Error;
        m_fedWithoutOutput += input.size();
    }
    if (m_pendingAt == m_pending.size()) {
        m_pending.clear();
        m_pendingAt = 0;
        for (;;) {
            off_t frame = 0;
            unsigned char* audio = nullptr;
            std::size_t bytes = 0;
            const int result = m_binding->decodeFrame(m_handle, &frame, &audio, &bytes);
            if (result == MPG123_NEW_FORMAT) {
                long rate = 0;
                int channels = 0;
                int encoding = 0;
                if (m_binding->getFormat(m_handle, &rate, &channels, &encoding) != MPG123_OK
                    || rate != m_sampleRate || channels != m_channels || encoding != MPG123_ENC_SIGNED_16)
                    return DecodeResult::Error;
                continue;
            }
            if (result == MPG123_NEED_MORE)
                return m_fedWithoutOutput > feedLimit ? DecodeResult::Error : DecodeResult::NeedMore;
            // The engine gave up on this stream (DONE included): the caller resynchronises now,
            // not after the feed limit.
            if (result != MPG123_OK)
                return DecodeResult::Error;
            if (bytes == 0)
                continue;
            mpg123_frameinfo frameInfo {};
            const bool known = m_binding->frameInfo(m_handle, &frameInfo) == MPG123_OK;
            if (known && frameInfo.layer != m_layer)
                continue;
            const off_t at = m_binding->framePosition(m_handle);
            if (known && at >= 0 && frameInfo.framesize > 0) {
                const auto start = static_cast<std::uint64_t>(at);
                const std::uint64_t end = start + static_cast<std::uint64_t>(frameInfo.framesize);
                if (m_frameCheck && m_lastFrameEnd != start && !m_frameCheck(end))
                    continue;
                m_lastFrameEnd = end;
            }
            m_pending.assign(audio, audio + bytes);
            m_fedWithoutOutput = 0;
            if (at >= 0)
                m_lastGoodFrame = static_cast<std::uint64_t>(at);
            break;
        }
    }
    produced = std::min(out.size(), m_pending.size() - m_pendingAt);
    std::memcpy(out.data(), m_pending.data() + m_pendingAt, produced);
    m_pendingAt += produced;
    return DecodeResult::Output;
}

std::size_t DecoderAdapter::takePending(std::span<std::uint8_t> out)
{
    const std::size_t count = std::min(out.size(), m_pending.size() - m_pendingAt);
    if (count == 0)
        return 0;
    std::memcpy(out.data(), m_pending.data() + m_pendingAt, count);
    m_pendingAt += count;
    return count;
}

void DecoderAdapter::exit()
{
    if (m_handle) {
        m_binding->close(m_handle);
        m_binding->destroy(m_handle);
        m_handle = nullptr;
    }
}

} // namespace vlsmp3
