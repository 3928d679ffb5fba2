#include "bytepipe.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vlsmp3 {

BytePipe::BytePipe(std::uint32_t size)
    : m_size(size > 0 ? size : defaultSize)
    , m_ring(std::make_unique_for_overwrite<std::uint8_t[]>(m_size))
{
}

int BytePipe::write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const std::size_t half = std::max<std::size_t>(1, m_size / 2);
    if (!m_writerOpen.load())
        return EPIPE;
    while (size > 0) {
        if (!m_readerOpen.load() || !m_writerOpen.load())
            return EPIPE;
        const std::uint64_t written = m_written.load(std::memory_order_relaxed);
        const auto room = static_cast<std::size_t>(m_size - (written - m_read.load()));
        if (room == 0) {
            const std::size_t needs = std::min(size, half);
            std::unique_lock lock(m_mutex);
            m_writerNeeds.store(needs);
            m_writable.wait(lock, [&] {
                return m_size - (written - m_read.load()) >= needs || !m_readerOpen.load()
                    || !m_writerOpen.load();
            });
            m_writerNeeds.store(0);
            continue;
        }
        const std::size_t count = std::min(room, size);
        copyAround(written, count, [&](std::size_t at, std::size_t done, std::size_t piece) {
            std::memcpy(m_ring.get() + at, bytes + done, piece);
        });
        m_written.store(written + count);
        bytes += count;
        size -= count;
        const std::size_t readerNeeds = m_readerNeeds.load();
        if (readerNeeds > 0 && written + count - m_read.load() >= readerNeeds)
            wake(m_readable);
    }
    return 0;
}

void BytePipe::closeWriteEnd()
{
    m_writerOpen.store(false);
    wake(m_readable);
}

long BytePipe::read(void* data, std::size_t size, std::size_t atLeast)
{
    if (!m_readerOpen.load())
        return -1;
    if (size == 0)
        return 0;
    const std::uint64_t start = m_read.load(std::memory_order_relaxed);
    const std::size_t needs = std::max<std::size_t>(1, std::min({ atLeast, size, m_size / 2 }));
    const auto ready
        = [&] { return m_written.load() - start >= needs || !m_writerOpen.load() || !m_readerOpen.load(); };
    if (!ready()) {
        std::unique_lock lock(m_mutex);
        m_readerNeeds.store(needs);
        m_readable.wait(lock, ready);
        m_readerNeeds.store(0);
    }
    if (!m_readerOpen.load())
        return -1;
    // Read after the writer's end was seen closed, so that nothing written before it is missed.
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_written.load() - start));
    auto* bytes = static_cast<std::uint8_t*>(data);
    copyAround(start, count, [&](std::size_t at, std::size_t done, std::size_t piece) {
        std::memcpy(bytes + done, m_ring.get() + at, piece);
    });
    m_read.store(start + count);
    const std::size_t writerNeeds = m_writerNeeds.load();
    if (writerNeeds > 0 && m_size - (m_written.load() - (start + count)) >= writerNeeds)
        wake(m_writable);
    return static_cast<long>(count);
}

void BytePipe::closeReadEnd()
{
    m_readerOpen.store(false);
    wake(m_writable);
}

void BytePipe::wake(std::condition_variable& waiting)
{
    // Taking the mutex orders this wake after a waiter's last check of its condition: the waiter
    // has either not checked yet, and sees the change, or sleeps already, and is notified.
    {
        const std::lock_guard lock(m_mutex);
    }
    waiting.notify_one();
}

} // namespace vlsmp3
