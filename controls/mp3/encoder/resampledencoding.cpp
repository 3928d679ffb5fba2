#include "resampledencoding.h"

#include "lamebinding.h"

#include <algorithm>
#include <cstring>

namespace vlsmp3 {

namespace {
// What the engine guarantees to be enough for the MP3 bytes of `frames` sample frames.
std::size_t engineOutputBound(std::size_t frames)
{
    return frames * 5 / 4 + 7200;
}
} // namespace

ResampledEncoding::ResampledEncoding(
    const LameBinding& lame, lame_global_struct* stream, unsigned channels, int sourceRate, int targetRate)
    : m_lame(lame)
    , m_stream(stream)
    , m_channels(channels)
    , m_sourceRate(sourceRate)
    , m_targetRate(targetRate)
{
    for (unsigned c = 0; c < channels; ++c)
        m_resamplers.emplace_back(sourceRate, targetRate);
    m_worker = std::thread([this] { run(); });
}

ResampledEncoding::~ResampledEncoding()
{
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

std::size_t ResampledEncoding::backlogBound(std::uint32_t framesPerChunk, int sourceRate, int targetRate)
{
    // A batch closes as soon as it reaches batchFrames, so it holds at most one chunk's output more
    // (or, the last one, the tail of the filter). At most the queued batches, the one being encoded
    // and the one being handed over are waiting between two calls of take().
    const std::size_t chunkOutput = static_cast<std::size_t>(std::uint64_t { framesPerChunk }
                                        * std::uint64_t(targetRate) / std::uint64_t(sourceRate))
        + 64;
    return (queuedBatches + 2) * engineOutputBound(batchFrames + chunkOutput);
}

bool ResampledEncoding::encode(const std::int16_t* pcm, std::uint32_t frames)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_failed)
            return false;
    }
    m_scratch.resize(frames);
    for (unsigned c = 0; c < m_channels; ++c) {
        // The engine takes floats on the 16-bit scale, so the resampled values need no clipping.
        for (std::uint32_t i = 0; i < frames; ++i)
            m_scratch[i] = static_cast<float>(pcm[std::size_t { i } * m_channels + c]);
        m_resamplers[c].process(m_scratch, m_filling.channels[c]);
    }
    m_sourceFrames += frames;
    if (m_filling.frames() < batchFrames)
        return true;
    return submit();
}

bool ResampledEncoding::submit()
{
    m_targetFrames += m_filling.frames();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.size() < queuedBatches || m_failed; });
    if (m_failed)
        return false;
    m_queue.push_back(std::move(m_filling));
    lock.unlock();
    m_changed.notify_all();
    m_filling = Batch {};
    for (unsigned c = 0; c < m_channels; ++c)
        m_filling.channels[c].reserve(batchFrames + 4096);
    return true;
}

bool ResampledEncoding::encodeBatch(const Batch& batch)
{
    const std::size_t frames = batch.frames();
    std::vector<std::uint8_t> bytes(engineOutputBound(frames));
    // The right channel is not read for a mono stream.
    const float* left = batch.channels[0].data();
    const float* right = m_channels == 2 ? batch.channels[1].data() : left;
    const int produced = m_lame.encodeBufferFloat(
        m_stream, left, right, static_cast<int>(frames), bytes.data(), static_cast<int>(bytes.size()));
    const std::lock_guard lock(m_mutex);
    if (produced < 0) {
        m_failed = true;
        return false;
    }
    m_output.insert(m_output.end(), bytes.begin(), bytes.begin() + produced);
    return true;
}

void ResampledEncoding::run()
{
    for (;;) {
        Batch batch;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_cancelled || !m_queue.empty() || m_draining; });
            if (m_cancelled || m_queue.empty())
                break;
            batch = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_changed.notify_all();
        const bool encoded = encodeBatch(batch);
        m_changed.notify_all();
        if (!encoded)
            break;
    }
}

bool ResampledEncoding::finish()
{
    if (!m_worker.joinable())
        return false;
    // Zeros push the last input samples through the filter; the output is then cut to the target
    // instants that fall before the end of the input.
    const std::uint64_t expected
        = (m_sourceFrames * std::uint64_t(m_targetRate) + std::uint64_t(m_sourceRate) - 1)
        / std::uint64_t(m_sourceRate);
    const std::vector<float> silence(static_cast<std::size_t>(m_resamplers.front().filterLength() + 2), 0.0f);
    for (unsigned c = 0; c < m_channels; ++c) {
        m_resamplers[c].process(silence, m_filling.channels[c]);
        const std::uint64_t wanted = expected > m_targetFrames ? expected - m_targetFrames : 0;
        if (m_filling.channels[c].size() > wanted)
            m_filling.channels[c].resize(static_cast<std::size_t>(wanted));
    }
    bool ok = m_filling.frames() == 0 || submit();
    {
        const std::lock_guard lock(m_mutex);
        m_draining = true;
    }
    m_changed.notify_all();
    m_worker.join();
    const std::lock_guard lock(m_mutex);
    if (!ok || m_failed)
        return false;
    std::vector<std::uint8_t> tail(engineOutputBound(0));
    const int produced = m_lame.encodeFlush(m_stream, tail.data(), static_cast<int>(tail.size()));
    if (produced < 0) {
        m_failed = true;
        return false;
    }
    m_output.insert(m_output.end(), tail.begin(), tail.begin() + produced);
    return true;
}

std::size_t ResampledEncoding::take(std::uint8_t* output, std::size_t capacity)
{
    const std::lock_guard lock(m_mutex);
    const std::size_t count = std::min(capacity, m_output.size());
    if (count == 0)
        return 0;
    std::memcpy(output, m_output.data(), count);
    m_output.erase(m_output.begin(), m_output.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

} // namespace vlsmp3
