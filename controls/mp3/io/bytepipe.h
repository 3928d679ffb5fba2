#pragma once

// The byte pipe between a producing thread and a consuming one: an encoder's Write and its encoding
// thread, a decoding thread and the decoder's Read. A ring in memory with one writer and one
// reader: bytes pass with a copy in and a copy out and no system call. A side waits only when it
// cannot go on (the ring full, or fewer bytes held than the reader asked to wait for), and is then
// woken once, when half the ring is free again or the bytes it waits for have arrived, not per
// write or read. Writing after the reader has gone fails with EPIPE. The writer's side belongs to
// one thread and the reader's side to another.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vlsmp3 {

class BytePipe {
public:
    // The ring's size when none is asked for.
    static constexpr std::uint32_t defaultSize = 256 * 1024;

    // size: the ring's size in bytes (0: defaultSize); never more than that is written and not yet
    // read. Throws std::bad_alloc when the ring cannot be allocated.
    explicit BytePipe(std::uint32_t size);
    BytePipe(const BytePipe&) = delete;
    BytePipe& operator=(const BytePipe&) = delete;
    ~BytePipe() = default;

    // Writer's side. Blocks while the ring is full, until half of it is free or the reader has gone;
    // returns 0, or EPIPE once either end is closed (a blocked write wakes up with it).
    int write(const void* data, std::size_t size);
    // The reader then sees the end of the stream once it has drained the ring.
    void closeWriteEnd();
    bool writeEndOpen() const { return m_writerOpen.load(); }

    // Reader's side. Waits until at least min(atLeast, size, half the ring) bytes are held or the
    // writer's end is closed, then takes up to size bytes. Returns the count, 0 at the end of the
    // stream, -1 once the reader's end is closed.
    long read(void* data, std::size_t size, std::size_t atLeast = 1);
    // A writer blocked in write wakes up with EPIPE.
    void closeReadEnd();
    bool readEndOpen() const { return m_readerOpen.load(); }

    std::uint32_t bufferSize() const { return static_cast<std::uint32_t>(m_size); }

private:
    void wake(std::condition_variable& waiting);
    // Calls copy(ring index, bytes done, piece) for the one or two pieces of count bytes from the
    // stream position at, the second one where the ring wraps around.
    template <class Copy> void copyAround(std::uint64_t at, std::size_t count, Copy&& copy) const
    {
        const auto index = static_cast<std::size_t>(at % m_size);
        const std::size_t first = std::min(count, m_size - index);
        copy(index, std::size_t { 0 }, first);
        if (count > first)
            copy(std::size_t { 0 }, first, count - first);
    }

    const std::size_t m_size;
    const std::unique_ptr<std::uint8_t[]> m_ring;
    // Bytes written and read since the start: the writer alone advances m_written and the reader
    // alone m_read, each after its copy, so the other side sees whole bytes.
    std::atomic<std::uint64_t> m_written { 0 };
    std::atomic<std::uint64_t> m_read { 0 };
    std::atomic<bool> m_writerOpen { true };
    std::atomic<bool> m_readerOpen { true };
    // What a waiting side waits for (bytes held for the reader, room for the writer); 0 while it
    // does not wait. Set under m_mutex before the side checks again and sleeps, so that the other
    // side, which reads it after publishing its progress, either wakes it or is seen by its check.
    std::atomic<std::size_t> m_readerNeeds { 0 };
    std::atomic<std::size_t> m_writerNeeds { 0 };
    std::mutex m_mutex;
    std::condition_variable m_readable;
    std::condition_variable m_writable;
};

} // namespace vlsmp3
