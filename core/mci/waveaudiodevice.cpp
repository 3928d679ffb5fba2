#include "mci/waveaudiodevice.h"

#include "vlscom/endian.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <pulse/error.h>
#include <pulse/simple.h>

namespace tmbr::gui {

namespace {

// A fragment is 1/20 s: short enough that stopping is prompt, long enough
// that the server is not asked for tiny pieces.
std::size_t fragmentBytes(const PcmFormat& format)
{
    return std::max<std::size_t>(1, format.samplesPerSec / 20) * format.blockAlign();
}

const char* orNull(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

MciError connectError(int error, MciError deviceError)
{
    switch (error) {
    case PA_ERR_CONNECTIONREFUSED:
    case PA_ERR_CONNECTIONTERMINATED:
    case PA_ERR_INVALIDSERVER:
    case PA_ERR_TIMEOUT:
    case PA_ERR_AUTHKEY:
    case PA_ERR_ACCESS:
    case PA_ERR_PROTOCOL:
    case PA_ERR_VERSION:
        return MciError::NoSoundServer;
    default:
        return deviceError;
    }
}

int peakOf(const char* data, std::size_t size)
{
    int peak = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto sample
            = static_cast<std::int16_t>(vlscom::readLe<2>(reinterpret_cast<const std::uint8_t*>(data + i)));
        peak = std::max(peak, sample < 0 ? -static_cast<int>(sample) : static_cast<int>(sample));
    }
    return peak;
}

} // namespace

WaveAudioDevice::WaveAudioDevice(SoundServer server)
    : m_server(std::move(server))
{
}

WaveAudioDevice::~WaveAudioDevice()
{
    finishWorker();
}

void WaveAudioDevice::requestStop()
{
    // Under the data lock: once this returns the worker adds nothing more.
    std::lock_guard lock(m_dataMutex);
    m_stopRequested = true;
}

void WaveAudioDevice::finishWorker()
{
    requestStop();
    if (m_worker.joinable())
        m_worker.join();
    m_stopRequested = false;
    m_mode = Mode::Stopped;
}

MciError WaveAudioDevice::setFormat(const PcmFormat& format)
{
    if (mode() != Mode::Stopped)
        return MciError::DeviceBusy;
    finishWorker();
    if (format != m_format) {
        std::lock_guard lock(m_dataMutex);
        m_data.clear();
        m_data.shrink_to_fit();
        m_format = format;
    }
    return MciError::None;
}

MciError WaveAudioDevice::record()
{
    if (mode() != Mode::Stopped)
        return MciError::DeviceBusy;
    finishWorker();
    const pa_sample_spec sampleFormat { PA_SAMPLE_S16LE, m_format.samplesPerSec,
        static_cast<std::uint8_t>(m_format.channels) };
    pa_buffer_attr attributes;
    std::memset(&attributes, 0xFF, sizeof attributes);
    attributes.fragsize = static_cast<std::uint32_t>(fragmentBytes(m_format));
    int error = 0;
    pa_simple* stream = pa_simple_new(orNull(m_server.server), "Tambrel Streaming Audio", PA_STREAM_RECORD,
        orNull(m_server.source), "Quick Audio Recorder", &sampleFormat, nullptr, &attributes, &error);
    if (!stream)
        return connectError(error, MciError::NoInputDevice);
    m_streamError = 0;
    m_mode = Mode::Recording;
    m_worker = std::thread([this, stream] { recordLoop(stream); });
    return MciError::None;
}

void WaveAudioDevice::recordLoop(void* handle)
{
    auto* stream = static_cast<pa_simple*>(handle);
    const std::size_t fragment = fragmentBytes(m_format);
    std::vector<char> buffer(fragment);
    while (!m_stopRequested) {
        int error = 0;
        if (pa_simple_read(stream, buffer.data(), fragment, &error) < 0) {
            m_streamError = code(MciError::StreamFailed);
            break;
        }
        m_level = peakOf(buffer.data(), fragment);
        std::lock_guard lock(m_dataMutex);
        if (m_stopRequested)
            break;
        if (m_data.size() + fragment > kMaxWaveDataBytes) {
            const std::size_t room = kMaxWaveDataBytes - m_data.size();
            m_data.insert(m_data.end(), buffer.begin(),
                buffer.begin() + static_cast<std::ptrdiff_t>(room - room % m_format.blockAlign()));
            m_streamError = code(MciError::RecordingFull);
            break;
        }
        try {
            m_data.insert(m_data.end(), buffer.begin(), buffer.end());
        } catch (const std::bad_alloc&) {
            m_streamError = code(MciError::OutOfMemory);
            break;
        }
    }
    m_level = 0;
    pa_simple_free(stream);
    m_mode = Mode::Stopped;
}

MciError WaveAudioDevice::play(std::uint64_t fromFrame, Completion completion)
{
    if (mode() != Mode::Stopped)
        return MciError::DeviceBusy;
    finishWorker();
    const pa_sample_spec sampleFormat { PA_SAMPLE_S16LE, m_format.samplesPerSec,
        static_cast<std::uint8_t>(m_format.channels) };
    pa_buffer_attr attributes;
    std::memset(&attributes, 0xFF, sizeof attributes);
    attributes.tlength = static_cast<std::uint32_t>(2 * fragmentBytes(m_format));
    int error = 0;
    pa_simple* stream = pa_simple_new(orNull(m_server.server), "Tambrel Streaming Audio", PA_STREAM_PLAYBACK,
        orNull(m_server.sink), "Quick Audio Recorder", &sampleFormat, nullptr, &attributes, &error);
    if (!stream)
        return connectError(error, MciError::NoOutputDevice);
    const std::uint64_t maxFrames = kMaxWaveDataBytes / m_format.blockAlign();
    const std::size_t fromByte
        = static_cast<std::size_t>(std::min(fromFrame, maxFrames)) * m_format.blockAlign();
    m_streamError = 0;
    m_mode = Mode::Playing;
    m_worker = std::thread([this, stream, fromByte] { playLoop(stream, fromByte); });
    if (completion == Completion::Wait) {
        m_worker.join();
        return static_cast<MciError>(m_streamError.exchange(0));
    }
    return MciError::None;
}

void WaveAudioDevice::playLoop(void* handle, std::size_t fromByte)
{
    auto* stream = static_cast<pa_simple*>(handle);
    const std::size_t fragment = fragmentBytes(m_format);
    std::vector<char> buffer(fragment);
    std::size_t position = fromByte;
    bool failed = false;
    while (!m_stopRequested) {
        std::size_t size = 0;
        {
            std::lock_guard lock(m_dataMutex);
            if (m_stopRequested || position >= m_data.size())
                break;
            size = std::min(fragment, m_data.size() - position);
            std::memcpy(buffer.data(), m_data.data() + position, size);
        }
        int error = 0;
        if (pa_simple_write(stream, buffer.data(), size, &error) < 0) {
            failed = true;
            break;
        }
        position += size;
    }
    int error = 0;
    if (!failed && !m_stopRequested && pa_simple_drain(stream, &error) < 0)
        failed = true;
    if (failed)
        m_streamError = code(MciError::StreamFailed);
    pa_simple_free(stream);
    m_mode = Mode::Stopped;
}

MciError WaveAudioDevice::stop()
{
    // The worker may sit in a read until its fragment arrives (a bursty
    // source delivers seconds at once); it is joined by the next command
    // that needs it, so Stop itself returns at once.
    const bool running = m_mode != Mode::Stopped;
    requestStop();
    m_mode = Mode::Stopped;
    const auto error = static_cast<MciError>(m_streamError.exchange(0));
    return running ? MciError::None : error;
}

MciError WaveAudioDevice::save(const std::string& path)
{
    if (mode() != Mode::Stopped)
        return MciError::DeviceBusy;
    std::lock_guard lock(m_dataMutex);
    return writeWaveFile(path, m_format, m_data.data(), m_data.size()) ? MciError::None
                                                                       : MciError::CannotSave;
}

WaveAudioDevice::Mode WaveAudioDevice::mode() const
{
    return m_mode;
}

std::uint64_t WaveAudioDevice::frames() const
{
    std::lock_guard lock(m_dataMutex);
    return m_data.size() / m_format.blockAlign();
}

int WaveAudioDevice::level() const
{
    return m_mode == Mode::Recording ? m_level.load() : 0;
}

} // namespace tmbr::gui
