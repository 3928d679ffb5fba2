#pragma once

// The anonymous byte pipe between an encoder's Write and its encoding thread: a stream socket pair,
// so that writing after the reader has gone fails with EPIPE instead of raising SIGPIPE. The
// writer's side belongs to one thread and the reader's side to another.

#include <cstddef>
#include <cstdint>

namespace vlsmp3 {

class BytePipe {
public:
    // sizeHint: the buffer size to ask for, in bytes (0 = the system's default). Throws
    // IoError when the pipe cannot be created.
    // receiveSizeHint likewise for the reader's receiving buffer.
    explicit BytePipe(std::uint32_t sizeHint, std::uint32_t receiveSizeHint = 0);
    BytePipe(const BytePipe&) = delete;
    BytePipe& operator=(const BytePipe&) = delete;
    ~BytePipe();

    // Writer's side. Blocks while the pipe is full; returns 0 or the errno value (EPIPE once the
    // reader's end is closed).
    int write(const void* data, std::size_t size);
    // The reader then sees the end of the stream once it has drained the pipe.
    void closeWriteEnd();
    // Shuts the writer's side down before closing it, so that the reader sees the end of the
    // stream even while another copy of the descriptor exists.
    void shutDownWriteEnd();
    bool writeEndOpen() const { return m_writeEnd >= 0; }

    // Reader's side. Returns the bytes read, 0 at the end of the stream, -1 on failure.
    long read(void* data, std::size_t size);
    void closeReadEnd();
    // Shuts both directions of the reader's side down before closing it: a writer blocked in
    // write wakes up with EPIPE.
    void shutDownReadEnd();
    bool readEndOpen() const { return m_readEnd >= 0; }

    // The sending buffer size the system granted (bytes).
    std::uint32_t bufferSize() const;

private:
    int m_readEnd = -1;
    int m_writeEnd = -1;
};

} // namespace vlsmp3
