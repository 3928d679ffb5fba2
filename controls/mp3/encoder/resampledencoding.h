#pragma once

// One engine stream split over two threads. The input is resampled on the caller's thread while the
// engine encodes the resampled audio on a worker thread of its own, so the two halves of the work
// overlap instead of adding up. The engine stream is set up with input rate = output rate; the MP3
// bytes come back in order through take().
//
// The caller's thread hands over batches of a few thousand sample frames through a short queue; it
// waits only while the queue is full. A failure of the engine stops the worker and is reported by
// the next call.

#include "sincresampler.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

struct lame_global_struct;

namespace vlsmp3 {

class LameBinding;

class ResampledEncoding {
public:
    // The stream must stay open until this object is gone; channels is 1 or 2. Throws
    // std::system_error when the worker cannot start.
    ResampledEncoding(const LameBinding& lame, lame_global_struct* stream, unsigned channels, int sourceRate,
        int targetRate);
    ResampledEncoding(const ResampledEncoding&) = delete;
    ResampledEncoding& operator=(const ResampledEncoding&) = delete;
    // Stops the worker after the batch it is encoding, dropping the rest.
    ~ResampledEncoding();

    // Resamples frames sample frames (interleaved when stereo) and hands full batches to the worker.
    // False once the engine has failed.
    bool encode(const std::int16_t* pcm, std::uint32_t frames);

    // Moves up to capacity bytes of finished MP3 data into output; returns how many.
    std::size_t take(std::uint8_t* output, std::size_t capacity);

    // Resamples the tail of the input, waits until the worker has encoded everything, then flushes
    // the engine. False when the engine failed at any point.
    bool finish();

    // The most MP3 bytes that can be waiting for take() at once when every chunk holds at most
    // framesPerChunk source frames and take() is offered at least this much after every encode().
    static std::size_t backlogBound(std::uint32_t framesPerChunk, int sourceRate, int targetRate);

    // Sample frames per hand-over, counted at the target rate.
    static constexpr std::size_t batchFrames = std::size_t { 8 } * 1152;
    // Batches waiting for the worker before the caller waits.
    static constexpr std::size_t queuedBatches = 3;

private:
    struct Batch {
        std::vector<float> channels[2];
        std::size_t frames() const { return channels[0].size(); }
    };

    void run();
    // Queues the batch being filled, waiting while the queue is full; false when the engine failed.
    bool submit();
    // Encodes one batch, appending its MP3 bytes to the output; false when the engine failed.
    bool encodeBatch(const Batch& batch);

    const LameBinding& m_lame;
    lame_global_struct* m_stream;
    unsigned m_channels;
    int m_sourceRate;
    int m_targetRate;
    std::vector<SincResampler> m_resamplers;
    std::vector<float> m_scratch;
    Batch m_filling;
    std::uint64_t m_sourceFrames = 0;
    std::uint64_t m_targetFrames = 0;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_queue;
    std::vector<std::uint8_t> m_output;
    bool m_draining = false; // no more batches: the worker ends once the queue is empty
    bool m_cancelled = false; // the worker ends after its current batch
    bool m_failed = false;
    std::thread m_worker;
};

} // namespace vlsmp3
