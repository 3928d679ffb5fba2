#include "pcmformatconverter.h"

#include "vlscom/endian.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace vlsmp3 {

namespace {

bool valid(const PcmFormat& format)
{
    return (format.channels == 1 || format.channels == 2)
        && (format.bitsPerSample == 8 || format.bitsPerSample == 16) && format.sampleRate > 0;
}

int toSample(float value)
{
    // Clipping first keeps the conversion defined; truncation is toward zero.
    return static_cast<int>(std::clamp(value, -32768.0f, 32767.0f));
}

} // namespace

PcmFormatConverter::PcmFormatConverter(const PcmFormat& source, const PcmFormat& target)
    : m_source(source)
    , m_target(target)
    , m_ratio(double(source.sampleRate) / double(target.sampleRate))
{
    if (!valid(source) || !valid(target))
        throw std::invalid_argument("unsupported PCM format");
    const bool copies = m_ratio >= 0.9999 && m_ratio <= 1.0001;
    for (int channel = 0; channel < source.channels; ++channel) {
        if (copies)
            m_resamplers.emplace_back();
        else
            m_resamplers.emplace_back(std::in_place, source.sampleRate, target.sampleRate);
    }
}

std::size_t PcmFormatConverter::maxBlockOutput() const
{
    const double frames = std::ceil(double(blockSamples) / m_ratio) + 4;
    return static_cast<std::size_t>(frames) * m_target.blockAlign();
}

std::size_t PcmFormatConverter::push(std::span<const std::uint8_t> bytes)
{
    if (m_input.room() < bytes.size())
        processWholeBlocks();
    const std::size_t accepted = m_input.write(bytes.data(), bytes.size());
    while (m_input.held() > 16000 && canProcess())
        processBlock();
    return accepted;
}

void PcmFormatConverter::processWholeBlocks()
{
    while (m_input.held() >= sourceBlockBytes() && canProcess())
        processBlock();
}

bool PcmFormatConverter::flush()
{
    while (m_input.held() > 0 && canProcess())
        processBlock();
    if (m_input.held() > 0)
        return false;
    if (m_sourceFrames > 0) {
        if (!canProcess())
            return false;
        drainFilter();
    }
    return true;
}

void PcmFormatConverter::drainFilter()
{
    const int channels = m_source.channels;
    const std::uint64_t sourceRate = m_source.sampleRate;
    const std::uint64_t targetRate = m_target.sampleRate;
    const std::uint64_t expected = (m_sourceFrames * targetRate + sourceRate - 1) / sourceRate;
    const std::uint64_t wanted = expected > m_targetFrames ? expected - m_targetFrames : 0;
    std::size_t frames = 0;
    for (int c = 0; c < channels; ++c) {
        m_channelOut[c].clear();
        if (m_resamplers[c]) {
            const std::vector<float> silence(m_resamplers[c]->tailLength(), 0.0f);
            m_resamplers[c]->process(silence, m_channelOut[c]);
            if (m_channelOut[c].size() > wanted)
                m_channelOut[c].resize(static_cast<std::size_t>(wanted));
            m_resamplers[c]->reset();
        }
        frames = c == 0 ? m_channelOut[c].size() : std::min(frames, m_channelOut[c].size());
    }
    emitFrames(frames);
    m_sourceFrames = 0;
    m_targetFrames = 0;
}

std::size_t PcmFormatConverter::take(std::span<std::uint8_t> out)
{
    return m_output.read(out.data(), out.size());
}

void PcmFormatConverter::processBlock()
{
    const std::size_t align = m_source.blockAlign();
    const std::size_t wanted = std::min(sourceBlockBytes(), m_input.held() / align * align);
    if (wanted == 0) {
        // Less than one sample frame left: it cannot be converted, so it is dropped.
        m_blockBytes.resize(m_input.held());
        m_input.read(m_blockBytes.data(), m_blockBytes.size());
        return;
    }
    m_blockBytes.resize(wanted);
    m_input.read(m_blockBytes.data(), wanted);
    const std::size_t frames = wanted / align;

    const int channels = m_source.channels;
    const std::uint8_t* bytes = m_blockBytes.data();
    const auto step = static_cast<std::size_t>(channels);
    for (int c = 0; c < channels; ++c) {
        m_channelIn[c].resize(frames);
        float* in = m_channelIn[c].data();
        if (m_source.bitsPerSample == 8) {
            for (std::size_t f = 0, at = static_cast<std::size_t>(c); f < frames; ++f, at += step)
                in[f] = static_cast<float>((int(bytes[at]) - 128) * 256);
        } else {
            for (std::size_t f = 0, at = 2 * static_cast<std::size_t>(c); f < frames; ++f, at += 2 * step)
                in[f] = static_cast<float>(static_cast<std::int16_t>(vlscom::readLe<2>(bytes + at)));
        }
    }
    for (int c = 0; c < channels; ++c) {
        m_channelOut[c].clear();
        if (m_resamplers[c])
            m_resamplers[c]->process(m_channelIn[c], m_channelOut[c]);
        else
            m_channelOut[c].swap(m_channelIn[c]);
    }

    m_sourceFrames += frames;
    emitFrames(
        channels == 2 ? std::min(m_channelOut[0].size(), m_channelOut[1].size()) : m_channelOut[0].size());
}

void PcmFormatConverter::emitFrames(std::size_t outFrames)
{
    const int channels = m_source.channels;
    m_outBytes.resize(outFrames * m_target.blockAlign());
    std::uint8_t* out = m_outBytes.data();
    const bool eightBit = m_target.bitsPerSample == 8;
    const auto emit = [&](int sample) {
        if (eightBit) {
            *out++ = static_cast<std::uint8_t>(sample / 256 + 128);
        } else {
            vlscom::writeLe<2>(out, static_cast<std::uint32_t>(sample));
            out += 2;
        }
    };
    const float* left = m_channelOut[0].data();
    const float* right = channels == 2 ? m_channelOut[1].data() : left;
    for (std::size_t f = 0; f < outFrames; ++f) {
        const int l = toSample(left[f]);
        if (channels == 1) {
            emit(l);
            if (m_target.channels == 2)
                emit(l);
        } else {
            const int r = toSample(right[f]);
            if (m_target.channels == 1) {
                emit(static_cast<int>((l + r) * 0.5));
            } else {
                emit(l);
                emit(r);
            }
        }
    }
    m_output.write(m_outBytes.data(), m_outBytes.size());
    m_targetFrames += outFrames;
}

} // namespace vlsmp3
