#include "decoderadapter.h"

#include "decodererror.h"

#include <algorithm>
#include <cstring>

namespace vlsmp3 {

void DecoderAdapter::init(int channels, int sampleRate)
{
    exit();
    m_binding = &Mpg123Binding::bound();
    int error = MPG123_OK;
    m_handle = m_binding->create(nullptr, &error);
    if (!m_handle)
        throw DecoderError(DecoderMessage::EngineNotInitialized);
    m_channels = channels;
    m_sampleRate = sampleRate;
    m_fedWithoutOutput = 0;
    m_pending.clear();
    m_pendingAt = 0;
    // Resynchronisation and seeking are ours; a frame of another channel count is mixed or
    // duplicated so that the byte stream keeps one layout.
    const long flags
        = MPG123_QUIET | MPG123_NO_FRANKENSTEIN | (channels == 1 ? MPG123_MONO_MIX : MPG123_FORCE_STEREO);
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
            if (result == MPG123_NEED_MORE || result == MPG123_DONE)
                return m_fedWithoutOutput > feedLimit ? DecodeResult::Error : DecodeResult::NeedMore;
            if (result != MPG123_OK)
                return DecodeResult::Error;
            if (bytes == 0)
                continue;
            m_pending.assign(audio, audio + bytes);
            m_fedWithoutOutput = 0;
            break;
        }
    }
    produced = std::min(out.size(), m_pending.size() - m_pendingAt);
    std::memcpy(out.data(), m_pending.data() + m_pendingAt, produced);
    m_pendingAt += produced;
    return DecodeResult::Output;
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
