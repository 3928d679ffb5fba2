#include "mp3encoder.h"

#include "bytepipe.h"
#include "encodererror.h"
#include "engineadapter.h"
#include "fileio.h"
#include "id3v1trailer.h"
#include "id3v2rewrite.h"
#include "id3v2tag.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vlsmp3 {

namespace {
constexpr std::array acceptedSampleRates { 8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000 };
constexpr std::array acceptedCbrBitrates { 8000, 16000, 24000, 32000, 40000, 48000, 56000, 64000, 80000,
    96000, 112000, 128000, 144000, 160000, 192000, 224000, 256000, 320000 };

void checkPcmShape(std::int64_t channels, std::int64_t samplesPerSec, std::int64_t bitsPerSample)
{
    if (channels != 1 && channels != 2)
        throw EncoderError(EncoderMessage::WrongChannels);
    if (bitsPerSample != 8 && bitsPerSample != 16)
        throw EncoderError(EncoderMessage::WrongBitsPerSample);
    if (std::ranges::find(acceptedSampleRates, samplesPerSec) == acceptedSampleRates.end())
        throw EncoderError(EncoderMessage::WrongSampleRate);
}

bool endsWithMp3(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const std::string_view tail(name.data() + name.size() - 4, 4);
    constexpr std::string_view extension = ".mp3";
    return std::equal(tail.begin(), tail.end(), extension.begin(),
        [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}
} // namespace

Mp3Encoder::Mp3Encoder(const LameBinding& lame)
    : m_engine(std::make_unique<EngineAdapter>(lame))
{
}

Mp3Encoder::~Mp3Encoder()
{
    try {
        close();
    } catch (...) {
        // Nobody is left to hear of it; the output is released all the same.
    }
}

void Mp3Encoder::open(const std::string& name, const OverwriteQuestion& ask)
{
    close();
    std::string path = name;
    if (m_addExtension && !endsWithMp3(path))
        path += ".mp3";
    struct stat existing { };
    if (m_overwritePrompt && ::stat(path.c_str(), &existing) == 0) {
        if (!ask || ask() != OverwriteAnswer::Yes)
            throw EncoderError(EncoderMessage::CancelledByUser);
        ::unlink(path.c_str());
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw EncoderError(EncoderMessage::CannotCreateFile, errno);
    m_output = fd;
    m_fileName = std::move(path);
    m_open = true;
    m_handleMode = false;
    m_streamStarted = false;
}

void Mp3Encoder::openHandle(std::intptr_t handle)
{
    close();
    if (handle == -1)
        throw EncoderError(EncoderMessage::NullHandle);
    m_output = static_cast<int>(handle);
    m_fileName = handleFileName;
    m_open = true;
    m_handleMode = true;
    m_streamStarted = false;
}

void Mp3Encoder::setInputFormat(std::int32_t channels, std::int32_t samplesPerSec, std::int32_t bitsPerSample)
{
    checkPcmShape(channels, samplesPerSec, bitsPerSample);
    const auto blockAlign = static_cast<std::uint16_t>(channels * (bitsPerSample / 8));
    m_inputFormat = WaveFormat { WAVE_FORMAT_PCM, static_cast<std::uint16_t>(channels),
        static_cast<std::uint32_t>(samplesPerSec), static_cast<std::uint32_t>(samplesPerSec) * blockAlign,
        blockAlign, static_cast<std::uint16_t>(bitsPerSample), 0 };
}

void Mp3Encoder::setInputFormatWfx(const WaveFormat& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM)
        throw EncoderError(EncoderMessage::OnlyPcm);
    checkPcmShape(format.nChannels, format.nSamplesPerSec, format.wBitsPerSample);
    m_inputFormat = format;
}

void Mp3Encoder::setOutputFormatVbr(float quality)
{
    if (!(quality >= 0.0F && quality <= 1.0F))
        throw EncoderError(EncoderMessage::WrongQuality);
    m_outputMode = OutputMode::VBR;
    m_quality = quality;
}

void Mp3Encoder::setOutputFormatAbr(std::int32_t averageBitrate)
{
    if (averageBitrate < 80000 || averageBitrate > 320000)
        throw EncoderError(EncoderMessage::WrongAbrBitrate);
    m_outputMode = OutputMode::ABR;
    m_bitrate = static_cast<std::uint32_t>(averageBitrate);
}

void Mp3Encoder::setOutputFormatCbr(std::int32_t bitrate)
{
    if (std::ranges::find(acceptedCbrBitrates, bitrate) == acceptedCbrBitrates.end())
        throw EncoderError(EncoderMessage::WrongCbrBitrate);
    m_outputMode = OutputMode::CBR;
    m_bitrate = static_cast<std::uint32_t>(bitrate);
}

void Mp3Encoder::startStream()
{
    EncoderSettings settings;
    settings.mode = m_outputMode;
    settings.bitrate = m_bitrate;
    settings.quality = m_quality;
    settings.channels = m_inputFormat.nChannels;
    settings.sampleRate = m_inputFormat.nSamplesPerSec;
    settings.forcedSampleRate = static_cast<std::uint32_t>(m_forcedSampleRate);
    settings.output = m_handleMode ? OutputKind::Handle : OutputKind::File;
    const EncoderConfig config = buildEncoderConfig(settings);
    if (m_configInspector)
        m_configInspector(config.record);

    std::uint32_t samplesPerChunk = 0;
    std::uint32_t bufferSize = 0;
    if (m_engine->beInitStream(config.record, samplesPerChunk, bufferSize) != BE_ERR_SUCCESSFUL) {
        throw EncoderError(config.path == ConfigPath::Direct ? EncoderMessage::DirectInitFailed
                                                             : EncoderMessage::PresetInitFailed);
    }
    m_outputBuffer.assign(bufferSize, 0);
    const std::uint16_t bits = m_inputFormat.wBitsPerSample;
    if (bits == 8)
        m_conversionBuffer.assign(samplesPerChunk, 0);
    else
        m_conversionBuffer = {};

    std::unique_ptr<BytePipe> pipe;
    try {
        pipe
            = std::make_unique<BytePipe>(m_pipeSizeHint == 0 ? 0 : std::max(m_pipeSizeHint, minimumPipeSize));
    } catch (const std::bad_alloc&) {
        throw EncoderError(EncoderMessage::CannotCreatePipe, ENOMEM);
    }
    EncoderErrorSink sink = [this](EncoderMessage id, const std::string& message) {
        {
            const std::lock_guard lock(m_failureMutex);
            if (!m_encodingFailure)
                m_encodingFailure.emplace(id, message);
        }
        if (m_errorSink)
            m_errorSink(id, message);
    };
    EncodingJob job { m_engine.get(), pipe.get(), m_output, samplesPerChunk, m_outputBuffer.data(),
        m_conversionBuffer.data(), bits, m_inputFormat.nChannels, std::move(sink) };
    m_thread = std::make_unique<EncodingThread>(std::move(job));
    m_pipe = std::move(pipe);
    m_streamStarted = true;
}

void Mp3Encoder::write(const void* data, std::size_t count)
{
    if (!m_open)
        throw EncoderError(EncoderMessage::NotOpenForWrite);
    if (!m_streamStarted)
        startStream();
    if (count == 0)
        return;
    if (const int error = m_pipe->write(data, count))
        throw EncoderError(EncoderMessage::PipeBroken, error);
}

std::optional<EncoderError> Mp3Encoder::encodingFailure() const
{
    const std::lock_guard lock(m_failureMutex);
    return m_encodingFailure;
}

void Mp3Encoder::releaseStream()
{
    if (m_pipe)
        m_pipe->closeWriteEnd();
    m_thread.reset();
    m_pipe.reset();
    {
        const std::lock_guard lock(m_failureMutex);
        m_encodingFailure.reset();
    }
    if (m_engine->streamOpen())
        m_engine->beCloseStream();
    m_outputBuffer = {};
    m_conversionBuffer = {};
}

void Mp3Encoder::close()
{
    if (!m_open)
        return;
    // Drain: the thread encodes what the pipe holds and ends at its end.
    if (m_pipe)
        m_pipe->closeWriteEnd();
    if (m_thread)
        m_thread->wait();

    std::optional<EncoderError> failure;
    if (m_streamStarted) {
        try {
            // After an encoding failure the thread has closed the engine stream already.
            std::uint32_t produced = 0;
            if (!m_engine->streamOpen()
                || m_engine->beDeinitStream(m_outputBuffer.data(), produced) != BE_ERR_SUCCESSFUL)
                throw EncoderError(EncoderMessage::FlushFailed);
            if (const int error = writeAll(m_output, m_outputBuffer.data(), produced))
                throw EncoderError(EncoderMessage::FlushWriteFailed, error);
            m_engine->beCloseStream();
            if (!m_handleMode)
                finishFile();
        } catch (const EncoderError& error) {
            failure = error;
        }
    }
    releaseStream();
    if (!m_handleMode)
        closeQuietly(m_output);
    const bool fileOutput = !m_handleMode;
    m_output = -1;
    m_open = false;
    if (fileOutput) {
        m_handleMode = false;
        m_streamStarted = false;
        m_pipeSizeHint = 0;
    }
    if (failure)
        throw *failure;
}

const std::string& Mp3Encoder::fileName() const
{
    if (!m_open)
        throw EncoderError(EncoderMessage::NotOpenForProperty);
    return m_fileName;
}

void Mp3Encoder::finishFile()
{
    if (const auto trailer = buildId3v1Trailer(m_tags)) {
        if (const int error = writeAll(m_output, trailer->data(), trailer->size()))
            throw EncoderError(EncoderMessage::Id3v1WriteFailed, error);
    }
    const int fd = std::exchange(m_output, -1);
    if (::close(fd) != 0)
        throw EncoderError(EncoderMessage::OutputCloseFailed, errno);
    m_engine->beWriteVBRHeader(m_fileName);
    if (m_tags.empty())
        return;
    const std::vector<std::uint8_t> tag = buildId3v2Tag(m_tags);
    if (!tag.empty())
        putId3v2TagInFront(m_fileName, tag);
}

} // namespace vlsmp3
