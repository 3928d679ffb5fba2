#include "engineadapter.h"

#include "fileio.h"
#include "id3v2tag.h"
#include "lamebinding.h"
#include "resampledencoding.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace vlsmp3 {

namespace {
// The library reports to stderr unless told otherwise; the caller hears of failures through
// the results instead.
void discardReport(const char*, va_list)
{
}

int vbrPresetOf(std::int32_t preset)
{
    switch (preset) {
    case LQP_STANDARD:
        return STANDARD;
    case LQP_EXTREME:
        return EXTREME;
    case LQP_INSANE:
        return INSANE;
    case LQP_MEDIUM:
        return MEDIUM;
    default:
        return 0;
    }
}
} // namespace

EngineAdapter::EngineAdapter(const LameBinding& lame)
    : m_lame(lame)
{
}

EngineAdapter::~EngineAdapter()
{
    beCloseStream();
}

BE_ERR EngineAdapter::configure(const BE_CONFIG& config)
{
    const LameBinding& lame = m_lame;
    lame_global_struct* stream = m_stream;
    lame.setErrorf(stream, discardReport);
    lame.setDebugf(stream, discardReport);
    lame.setMsgf(stream, discardReport);
    // A lower output rate is reached by resampling ahead of the engine, which then sees that rate
    // at its input too.
    lame.setInSamplerate(
        stream, static_cast<int>(resamplesDown(config) ? config.dwReSampleRate : config.dwSampleRate));
    const bool mono = config.nMode == BE_MP3_MODE_MONO;
    lame.setNumChannels(stream, mono ? 1 : 2);

    const std::int32_t preset = config.nPreset;
    if (preset == LQP_ABR) {
        lame.setPreset(stream, static_cast<int>(config.dwVbrAbr_bps / 1000));
    } else if (preset == LQP_CBR) {
        lame.setPreset(stream, static_cast<int>(config.dwBitrate));
        lame.setVbr(stream, vbr_off);
    } else if (preset >= 0 && preset < LQP_STANDARD) {
        if (config.nMode < STEREO || config.nMode >= NOT_SET)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        lame.setMode(stream, static_cast<MPEG_mode>(config.nMode));
        lame.setBrate(stream, static_cast<int>(config.dwBitrate));
        if (config.dwVbrAbr_bps > 0) {
            lame.setVbr(stream, vbr_abr);
            lame.setVbrMeanBitrateKbps(stream, static_cast<int>(config.dwVbrAbr_bps / 1000));
        }
        if (preset == LQP_HIGH_QUALITY)
            lame.setQuality(stream, 2);
    } else if (const int named = vbrPresetOf(preset)) {
        lame.setPreset(stream, named);
    } else {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }

    if (config.dwReSampleRate > 0)
        lame.setOutSamplerate(stream, static_cast<int>(config.dwReSampleRate));
    if (mono)
        lame.setMode(stream, MONO);
    lame.setOriginal(stream, config.bOriginal ? 1 : 0);
    lame.setWriteVbrTag(stream, config.bWriteVBRHeader ? 1 : 0);
    if (config.dwBitrate > 0)
        lame.setVbrMinBitrateKbps(stream, static_cast<int>(config.dwBitrate));
    if (lame.initParams(stream) < 0)
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    return BE_ERR_SUCCESSFUL;
}

bool EngineAdapter::resamplesDown(const BE_CONFIG& config)
{
    return config.dwReSampleRate > 0 && config.dwSampleRate > config.dwReSampleRate;
}

BE_ERR EngineAdapter::beInitStream(const BE_CONFIG& config, std::uint32_t& samples, std::uint32_t& bufferSize)
{
    beCloseStream();
    m_vbrHeader.clear();
    if (config.dwConfig != BE_CONFIG_LAME || config.dwStructVersion < 1
        || config.dwStructSize != BE_CONFIG_SIZE)
        return BE_ERR_INVALID_FORMAT;
    const std::lock_guard lock(LameBinding::setupMutex());
    m_stream = m_lame.init();
    if (!m_stream)
        return BE_ERR_NO_MORE_HANDLES;
    if (const BE_ERR error = configure(config); error != BE_ERR_SUCCESSFUL) {
        m_lame.close(m_stream);
        m_stream = nullptr;
        return error;
    }
    const auto frame = static_cast<std::uint32_t>(m_lame.framesize(m_stream));
    m_channels = static_cast<std::uint32_t>(m_lame.numChannels(m_stream));
    m_samples = frame * m_channels;
    m_bufferSize = frame * 5 / 4 + 7200;
    if (resamplesDown(config)) {
        const int source = static_cast<int>(config.dwSampleRate);
        const int target = static_cast<int>(config.dwReSampleRate);
        try {
            m_resampled = std::make_unique<ResampledEncoding>(m_lame, m_stream, m_channels, source, target);
        } catch (const std::system_error&) {
            m_lame.close(m_stream);
            m_stream = nullptr;
            return BE_ERR_NO_MORE_HANDLES;
        }
        m_bufferSize += static_cast<std::uint32_t>(ResampledEncoding::backlogBound(frame, source, target));
    }
    samples = m_samples;
    bufferSize = m_bufferSize;
    return BE_ERR_SUCCESSFUL;
}

BE_ERR EngineAdapter::beEncodeChunk(
    std::uint32_t count, const std::int16_t* pcm, std::uint8_t* output, std::uint32_t& outputSize)
{
    outputSize = 0;
    if (!m_stream)
        return BE_ERR_INVALID_HANDLE;
    if (count > m_samples || count % m_channels != 0 || (count > 0 && !pcm) || !output)
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (m_resampled) {
        if (!m_resampled->encode(pcm, count / m_channels))
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        outputSize = static_cast<std::uint32_t>(m_resampled->take(output, m_bufferSize));
        return BE_ERR_SUCCESSFUL;
    }
    const int size = static_cast<int>(m_bufferSize);
    int produced = 0;
    if (m_channels == 1) {
        produced = m_lame.encodeBuffer(m_stream, pcm, pcm, static_cast<int>(count), output, size);
    } else {
        // The library copies the samples; it does not write through this pointer.
        produced = m_lame.encodeBufferInterleaved(
            m_stream, const_cast<std::int16_t*>(pcm), static_cast<int>(count / 2), output, size);
    }
    if (produced < 0)
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    outputSize = static_cast<std::uint32_t>(produced);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR EngineAdapter::beDeinitStream(std::uint8_t* output, std::uint32_t& outputSize)
{
    outputSize = 0;
    if (!m_stream)
        return BE_ERR_INVALID_HANDLE;
    if (!output)
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    if (m_resampled) {
        const bool finished = m_resampled->finish();
        outputSize = static_cast<std::uint32_t>(m_resampled->take(output, m_bufferSize));
        if (!finished)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
    } else {
        const int produced = m_lame.encodeFlush(m_stream, output, static_cast<int>(m_bufferSize));
        if (produced < 0)
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        outputSize = static_cast<std::uint32_t>(produced);
    }
    // The header frame is final only after the flush, and gone with the stream.
    m_vbrHeader.resize(8192);
    std::size_t size = m_lame.lametagFrame(m_stream, m_vbrHeader.data(), m_vbrHeader.size());
    if (size > m_vbrHeader.size()) {
        m_vbrHeader.resize(size);
        size = m_lame.lametagFrame(m_stream, m_vbrHeader.data(), m_vbrHeader.size());
    }
    m_vbrHeader.resize(size <= m_vbrHeader.size() ? size : 0);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR EngineAdapter::beCloseStream()
{
    if (!m_stream)
        return BE_ERR_INVALID_HANDLE;
    // The worker encodes into the stream until it is gone.
    m_resampled.reset();
    const std::lock_guard lock(LameBinding::setupMutex());
    m_lame.close(m_stream);
    m_stream = nullptr;
    return BE_ERR_SUCCESSFUL;
}

BE_ERR EngineAdapter::beWriteVBRHeader(const std::string& fileName)
{
    if (m_vbrHeader.empty())
        return BE_ERR_SUCCESSFUL;
    const std::vector<std::uint8_t> header = std::move(m_vbrHeader);
    m_vbrHeader.clear();
    const int fd = ::open(fileName.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return BE_ERR_INVALID_FORMAT;
    BE_ERR result = BE_ERR_INVALID_FORMAT;
    std::array<std::uint8_t, 10> start {};
    const long got = ::pread(fd, start.data(), start.size(), 0);
    if (got > 0) {
        const std::size_t tag = id3v2TagSize(start.data(), static_cast<std::size_t>(got));
        std::array<std::uint8_t, 2> sync {};
        // Only over a frame: a file that does not hold the placeholder where it should is left alone.
        if (::pread(fd, sync.data(), sync.size(), static_cast<off_t>(tag)) == 2 && sync[0] == 0xFF
            && (sync[1] & 0xE0) == 0xE0) {
            if (::pwrite(fd, header.data(), header.size(), static_cast<off_t>(tag))
                == static_cast<long>(header.size()))
                result = BE_ERR_SUCCESSFUL;
        }
    }
    closeQuietly(fd);
    return result;
}

BE_VERSION EngineAdapter::beVersion() const
{
    BE_VERSION version { 0, 0, m_lame.version() };
    std::sscanf(version.text.c_str(), "%d.%d", &version.byMajorVersion, &version.byMinorVersion);
    return version;
}

} // namespace vlsmp3
