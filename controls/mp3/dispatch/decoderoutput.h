#pragma once

// The output side of a decoder control, shared by the MP3 decoder of vlsmp3x1 and the decoders of
// vlsdec: the stream's own PCM format, the format a host asked for with SetOutputFormat or
// SetOutputFormatWFX, and the converter between them that reads are drawn through.

#include "pcmformatconverter.h"
#include "vlscom/types.h"
#include "waveformat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace vlsmp3 {

class DecoderOutput {
public:
    // No file: no format, nothing to convert.
    void clear();
    // The format the open stream decodes to.
    void setNative(const WAVEFORMATEX& native) { m_native = native; }
    // What Read delivers: the requested format, or the stream's own.
    const WAVEFORMATEX& format() const { return m_target ? *m_target : m_native; }
    bool converting() const { return m_converter != nullptr; }

    // The two ways a host sets the output. A value out of range answers E_UNEXPECTED; so does a
    // change while a reading run is under way, or one the converter cannot make (thrown as the
    // control's error).
    HRESULT setFormat(
        std::int32_t channels, std::int32_t samplesPerSec, std::int32_t bitsPerSample, bool reading);
    HRESULT setFormat(const WAVEFORMATEX& format, bool reading);

    // A reading run starts, or has delivered its last byte.
    void startRun() { m_sourceEnded = false; }
    void endRun() { m_sourceEnded = false; }

    // Up to count converted bytes, drawing the stream's bytes from read(data, room), which returns
    // 0 at the stream's end; the converter's tail is flushed once the stream has ended.
    template <class Read> std::size_t readConverted(std::uint8_t* data, std::size_t count, Read&& read);

private:
    void setTarget(const WAVEFORMATEX& target, bool reading);

    WAVEFORMATEX m_native {};
    std::optional<WAVEFORMATEX> m_target;
    std::unique_ptr<PcmFormatConverter> m_converter;
    // The stream reached its end during a converted read; the converter is being flushed.
    bool m_sourceEnded = false;
};

template <class Read>
std::size_t DecoderOutput::readConverted(std::uint8_t* data, std::size_t count, Read&& read)
{
    PcmFormatConverter& converter = *m_converter;
    if (count >= converter.held()) {
        std::vector<std::uint8_t> piece(16384);
        while (converter.held() < count && !m_sourceEnded) {
            if (converter.inputRoom() < piece.size())
                converter.processWholeBlocks();
            const std::size_t room = std::min(piece.size(), converter.inputRoom());
            if (room == 0)
                break;
            const std::size_t n = read(piece.data(), room);
            if (n == 0) {
                m_sourceEnded = true;
                break;
            }
            converter.push(std::span(piece.data(), n));
        }
        if (m_sourceEnded)
            converter.flush();
    }
    return converter.take(std::span(data, count));
}

} // namespace vlsmp3
