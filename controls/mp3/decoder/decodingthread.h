#pragma once

// The decoding thread of an open MP3 stream and the pipe it fills with 16-bit PCM at the stream's
// own rate and channels, one chunk of 576 sample frames at a time. The owner starts a run, reads
// the pipe, and ends the run
// either at the end of the stream (finish) or early (stop); both join the thread. A new run
// continues from where the previous one left the file, or from a pending seek.

#include "bytepipe.h"
#include "bytesource.h"
#include "streaminfo.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

namespace vlsmp3 {

class DecodingThread {
public:
    // The pipe holds this many chunks, so that the thread and the reader wake each other once per
    // many chunks. positionMs() leads what read has delivered by at most pipeChunks + 1 chunks: the
    // pipe full and the chunk being written.
    static constexpr std::uint32_t pipeChunks = 64;
    static constexpr std::size_t fileReadSize = 512;

    // source and info must outlive this object. The file position starts at the first frame.
    DecodingThread(ByteSource& source, const StreamInfo& info);
    DecodingThread(const DecodingThread&) = delete;
    DecodingThread& operator=(const DecodingThread&) = delete;
    ~DecodingThread() { stop(); }

    // True from start() until finish() or stop().
    bool active() const { return m_pipe && m_pipe->readEndOpen(); }
    // Creates the pipe and starts the thread. Throws DecoderError::system when either fails.
    void start();
    // Reads until size bytes were read or the stream ended; returns the count. Owner's thread.
    std::size_t read(void* data, std::size_t size);
    // One read of up to size bytes: waits until min(size, half the pipe) bytes have arrived or the
    // stream ended; 0 at the end of the stream.
    std::size_t readSome(void* data, std::size_t size);
    // Ends a run whose stream ended: closes the pipe and joins the thread.
    void finish();
    // Ends a run at once: the thread stops at its next chunk or when its pipe write fails, and is
    // joined. Nothing is lost but what the pipe still held.
    void stop();

    // Position to seek to (ms), taken up by the thread at its next chunk (or by the next run).
    void seek(std::int64_t targetMs) { m_pendingSeek.store(targetMs); }
    // Milliseconds of audio passed to the pipe, from the last seek target.
    double positionMs() const { return m_positionMs.load(); }

private:
    void run();

    ByteSource& m_source;
    const StreamInfo& m_info;
    // Touched by the thread during a run, by the owner between runs.
    std::uint64_t m_filePosition;
    // The reader's side belongs to the owner, the writer's side to the thread during a run.
    std::unique_ptr<BytePipe> m_pipe;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::atomic<std::int64_t> m_pendingSeek { -1 };
    std::atomic<double> m_positionMs { 0 };
};

} // namespace vlsmp3
