#include "decoderoutput.h"

#include "vlsshell/controlerror.h"

#include <stdexcept>

namespace vlsmp3 {

void DecoderOutput::clear()
{
    m_native = WAVEFORMATEX {};
    m_target.reset();
    m_converter.reset();
    m_sourceEnded = false;
}

void DecoderOutput::setTarget(const WAVEFORMATEX& target, bool reading)
{
    if (reading)
        throw vlsshell::ControlError::status(E_UNEXPECTED);
    try {
        auto converter = std::make_unique<PcmFormatConverter>(
            PcmFormat { m_native.nChannels, m_native.nSamplesPerSec, m_native.wBitsPerSample },
            PcmFormat { target.nChannels, target.nSamplesPerSec, target.wBitsPerSample });
        m_converter = std::move(converter);
        m_target = target;
    } catch (const std::invalid_argument&) {
        // A rate of 0 (or a record without a file open) has nothing to convert to.
        throw vlsshell::ControlError::status(E_UNEXPECTED);
    }
}

HRESULT DecoderOutput::setFormat(
    std::int32_t channels, std::int32_t samplesPerSec, std::int32_t bitsPerSample, bool reading)
{
    if (channels < 0 || channels > 2 || (bitsPerSample != 0 && bitsPerSample != 8 && bitsPerSample != 16)
        || samplesPerSec < 0)
        return E_UNEXPECTED;
    WAVEFORMATEX target = format();
    if (channels)
        target.nChannels = static_cast<std::uint16_t>(channels);
    if (samplesPerSec)
        target.nSamplesPerSec = static_cast<std::uint32_t>(samplesPerSec);
    if (bitsPerSample)
        target.wBitsPerSample = static_cast<std::uint16_t>(bitsPerSample);
    target.nBlockAlign = static_cast<std::uint16_t>(target.nChannels * target.wBitsPerSample / 8);
    target.nAvgBytesPerSec = target.nSamplesPerSec * target.nBlockAlign;
    setTarget(target, reading);
    return S_OK;
}

HRESULT DecoderOutput::setFormat(const WAVEFORMATEX& format, bool reading)
{
    if ((format.nChannels != 1 && format.nChannels != 2)
        || (format.wBitsPerSample != 8 && format.wBitsPerSample != 16))
        return E_UNEXPECTED;
    setTarget(format, reading);
    return S_OK;
}

} // namespace vlsmp3
