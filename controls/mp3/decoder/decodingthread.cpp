#include "decodingthread.h"

#include "bytepipe.h"
#include "decoderadapter.h"
#include "decodererror.h"
#include "frameheader.h"
#include "mp3streamreader.h"
#include "readaheadsource.h"
#include "vlscom/endian.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

namespace vlsmp3 {

namespace {

// Decodes the file in 512-byte reads into chunks of at most 1152 × channels bytes.
class ChunkProducer {
public:
    ChunkProducer(ByteSource& source, const StreamInfo& info, std::uint64_t& filePosition)
        : m_source(source)
        , m_info(info)
        , m_filePosition(filePosition)
        , m_chunkBytes(static_cast<std::size_t>(1152 * info.channels))
    {
        m_adapter.setFrameCheck([this](std::uint64_t frameEnd) { return followedByFrame(frameEnd); });
    }

    // A fresh engine state at the next chunk. For a seek the decoded audio not yet passed on is
    // dropped; after resynchronising it is kept, since it came from good frames before the damage.
    enum class Pending { Drop, Keep };
    void requestReset(Pending pending)
    {
        m_resetRequested = true;
        if (pending == Pending::Drop) {
            m_start = m_end = 0;
            return;
        }
        std::memmove(m_decoded.data(), m_decoded.data() + m_start, m_end - m_start);
        m_end -= m_start;
        m_start = 0;
        m_end += m_adapter.takePending(std::span(m_decoded.data() + m_end, m_decoded.size() - m_end));
    }

    // The chunk's bytes (empty at the end of the stream; valid until the next call), or false on
    // a decoding error.
    bool produce(std::span<const std::uint8_t>& chunk)
    {
        if (m_resetRequested) {
            m_adapter.init(m_info.channels, m_info.sampleRate, FrameHeader(m_info.firstHeader).layer());
            m_lastResult = DecodeResult::Error;
            m_resetRequested = false;
            m_resetAt = m_filePosition;
            m_fed = 0;
            m_skips.clear();
        }
        while (m_end - m_start < m_chunkBytes) {
            std::memmove(m_decoded.data(), m_decoded.data() + m_start, m_end - m_start);
            m_end -= m_start;
            m_start = 0;
            bool inputEnded = false;
            std::size_t produced = 0;
            const std::span<std::uint8_t> space(m_decoded.data() + m_end, m_decoded.size() - m_end);
            if (m_lastResult != DecodeResult::Output) {
                const std::size_t got = m_source.readAt(m_filePosition, m_input.data(), m_input.size());
                std::size_t piece = std::min(got, DecodingThread::fileReadSize);
                // The Info frame of a second stream joined to this one is passed over: it holds no
                // audio, and the engine would decode it as a frame of silence.
                if (const auto info = infoFrameIn(std::span(m_input.data(), got), piece, m_info)) {
                    if (info->offset == 0) {
                        m_skips.emplace_back(m_fed, info->length);
                        m_filePosition += info->length;
                        continue;
                    }
                    piece = info->offset;
                }
                m_filePosition += piece;
                m_fed += piece;
                inputEnded = piece == 0;
                m_lastResult = m_adapter.decode(std::span(m_input.data(), piece), space, produced);
            } else {
                m_lastResult = m_adapter.decode({}, space, produced);
            }
            m_end += produced;
            if (m_lastResult == DecodeResult::Error)
                return false;
            if (inputEnded)
                break;
        }
        const std::size_t count = std::min(m_end - m_start, m_chunkBytes);
        chunk = std::span(m_decoded.data() + m_start, count);
        m_start += count;
        return true;
    }

    // Where to look for the next frame after a decoding error: just past the last frame that gave
    // output, so that good frames between it and the damage are not passed over.
    std::uint64_t resumePoint() const
    {
        const auto good = m_adapter.lastGoodFrame();
        return good ? fileOffsetOf(*good) + 1 : m_resetAt + 1;
    }

private:
    // The file offset of an offset in the bytes fed since the last reset.
    std::uint64_t fileOffsetOf(std::uint64_t fed) const
    {
        std::uint64_t at = m_resetAt + fed;
        for (const auto& [fedAt, length] : m_skips) {
            if (fedAt <= fed)
                at += length;
        }
        return at;
    }

    // A frame found after damage is taken for one of the stream only when another frame of the
    // stream, a tag or the end of the file follows it: in random bytes the engine finds headers
    // of the stream's own format now and then, and would decode noise from them.
    bool followedByFrame(std::uint64_t frameEnd)
    {
        std::array<std::uint8_t, 4> next {};
        if (m_source.readAt(fileOffsetOf(frameEnd), next.data(), next.size()) < next.size())
            return true;
        if (std::memcmp(next.data(), "TAG", 3) == 0 || std::memcmp(next.data(), "ID3", 3) == 0)
            return true;
        const std::uint32_t bits = vlscom::readBe32(next.data());
        return FrameHeader(bits).sameStream(FrameHeader(m_info.firstHeader));
    }

    ByteSource& m_source;
    const StreamInfo& m_info;
    std::uint64_t& m_filePosition;
    // File position of the last engine reset, the bytes fed since, and the Info frames passed over
    // since (at that many bytes fed, that long).
    std::uint64_t m_resetAt = 0;
    std::uint64_t m_fed = 0;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_skips;
    const std::size_t m_chunkBytes;
    DecoderAdapter m_adapter;
    bool m_resetRequested = true;
    DecodeResult m_lastResult = DecodeResult::Error;
    std::array<std::uint8_t, 16384> m_decoded {};
    std::size_t m_start = 0;
    std::size_t m_end = 0;
    std::array<std::uint8_t, DecodingThread::fileReadSize + infoFrameLookahead> m_input {};
};

} // namespace

DecodingThread::DecodingThread(ByteSource& source, const StreamInfo& info)
    : m_source(source)
    , m_info(info)
    , m_filePosition(info.firstFrameOffset)
{
}

void DecodingThread::start()
{
    if (active())
        return;
    try {
        m_pipe = std::make_unique<BytePipe>(pipeChunks * 1152 * m_info.channels);
    } catch (const std::bad_alloc&) {
        throw DecoderError::system(ENOMEM);
    }
    m_stop.store(false);
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error& error) {
        m_pipe.reset();
        throw DecoderError::system(error.code().value());
    }
}

std::size_t DecodingThread::read(void* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const std::size_t n = readSome(static_cast<char*>(data) + done, size - done);
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

std::size_t DecodingThread::readSome(void* data, std::size_t size)
{
    if (!active() || size == 0)
        return 0;
    const long n = m_pipe->read(data, size, size);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void DecodingThread::finish()
{
    stop();
}

void DecodingThread::stop()
{
    m_stop.store(true);
    // Wakes a thread blocked in its write: the write fails with EPIPE.
    if (active())
        m_pipe->closeReadEnd();
    if (m_thread.joinable())
        m_thread.join();
}

void DecodingThread::run()
{
    // The engine is fed in small reads; the file is read a window at a time.
    ReadAheadSource source(m_source);
    ChunkProducer producer(source, m_info, m_filePosition);
    std::span<const std::uint8_t> chunk;
    const double chunkMs = 576000.0 / m_info.sampleRate;
    try {
        while (!m_stop.load()) {
            const std::int64_t target = m_pendingSeek.exchange(-1);
            if (target >= 0) {
                m_positionMs.store(double(target));
                producer.requestReset(ChunkProducer::Pending::Drop);
                const auto frame
                    = findFrame(source, m_info.firstFrameOffset + seekOffset(m_info, target), m_info);
                if (!frame)
                    break;
                m_filePosition = *frame;
            }
            if (!producer.produce(chunk)) {
                const auto frame = findFrame(source, producer.resumePoint(), m_info);
                if (!frame)
                    break;
                m_filePosition = *frame;
                producer.requestReset(ChunkProducer::Pending::Keep);
                continue;
            }
            if (chunk.empty())
                break;
            m_positionMs.store(m_positionMs.load() + chunkMs);
            if (m_pipe->write(chunk.data(), chunk.size()) != 0)
                break;
        }
    } catch (const std::exception&) {
        // A failed file read or an engine that cannot start ends the stream.
    }
    m_pipe->closeWriteEnd();
}

} // namespace vlsmp3
