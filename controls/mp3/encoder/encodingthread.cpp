#include "encodingthread.h"

#include "bytepipe.h"
#include "encodererror.h"
#include "engineadapter.h"
#include "fileio.h"

#include <algorithm>
#include <cstring>
#include <system_error>
#include <vector>

namespace vlsmp3 {

EncodingThread::EncodingThread(EncodingJob job)
    : m_job(std::move(job))
{
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error& error) {
        throw EncoderError(EncoderMessage::CannotCreateThread, error.code().value());
    }
}

EncodingThread::~EncodingThread()
{
    wait();
}

void EncodingThread::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool EncodingThread::encode(const std::int16_t* samples, std::uint32_t count, bool eightBit)
{
    std::uint32_t produced = 0;
    if (m_job.engine->beEncodeChunk(count, samples, m_job.outputBuffer, produced) != BE_ERR_SUCCESSFUL) {
        const EncoderMessage id
            = eightBit ? EncoderMessage::EncodingFailed8Bit : EncoderMessage::EncodingFailed16Bit;
        // What was encoded before stays in the output.
        writeEncoded();
        m_job.engine->beCloseStream();
        m_job.errorSink(id, std::string(messageText(id)));
        return false;
    }
    m_encoded.insert(m_encoded.end(), m_job.outputBuffer, m_job.outputBuffer + produced);
    return true;
}

bool EncodingThread::writeEncoded()
{
    const int error = writeAll(m_job.output, m_encoded.data(), m_encoded.size());
    m_encoded.clear();
    if (error == 0)
        return true;
    const EncoderMessage id
        = m_job.bitsPerSample == 8 ? EncoderMessage::WriteFailed8Bit : EncoderMessage::WriteFailed16Bit;
    m_job.errorSink(id, formatMessage(id, error));
    return false;
}

bool EncodingThread::encodeBytes(const std::uint8_t* bytes, std::size_t size)
{
    // samplesPerChunk is a whole number of sample frames, so every piece is too.
    if (m_job.bitsPerSample != 8) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(bytes);
        const std::size_t count = size / 2;
        for (std::size_t done = 0; done < count;) {
            const std::size_t piece = std::min<std::size_t>(count - done, m_job.samplesPerChunk);
            if (!encode(samples + done, static_cast<std::uint32_t>(piece), false))
                return false;
            done += piece;
        }
        return true;
    }
    for (std::size_t done = 0; done < size;) {
        const std::size_t piece = std::min<std::size_t>(size - done, m_job.samplesPerChunk);
        for (std::size_t i = 0; i < piece; ++i)
            m_job.conversionBuffer[i] = widen(bytes[done + i]);
        if (!encode(m_job.conversionBuffer, static_cast<std::uint32_t>(piece), true))
            return false;
        done += piece;
    }
    return true;
}

void EncodingThread::run()
{
    // Pipe reads end anywhere; a partial sample frame waits at the front of the buffer for the rest,
    // so the engine always gets whole frames and the channels never swap.
    // Several chunks per read: one system call per chunk would cost as much as the resampling.
    std::vector<std::int16_t> work(std::size_t { m_job.samplesPerChunk } * readChunks);
    auto* buffer = reinterpret_cast<std::uint8_t*>(work.data());
    const std::size_t capacity = work.size() * sizeof(std::int16_t);
    const std::size_t frameBytes = std::size_t { m_job.channels } * (m_job.bitsPerSample / 8);
    std::size_t carried = 0;
    for (;;) {
        const long count = m_job.pipe->read(buffer + carried, capacity - carried);
        if (count <= 0)
            break;
        const std::size_t total = carried + static_cast<std::size_t>(count);
        const std::size_t whole = total - total % frameBytes;
        // The MP3 bytes of one read go out in one write: as soon as they are encoded when the
        // writer is slower than the engine (a recording), in large pieces when it is ahead.
        if (whole > 0 && (!encodeBytes(buffer, whole) || !writeEncoded()))
            break;
        carried = total - whole;
        std::memmove(buffer, buffer + whole, carried);
    }
    m_job.pipe->closeReadEnd();
}

} // namespace vlsmp3
