#pragma once

// Small wrappers over descriptors that the encoder shares between its threads and files.

#include <cstddef>
#include <cstdint>

namespace vlsmp3 {

// Writes all bytes, continuing after short writes and interrupted calls. Returns 0 or the errno
// value of the failure. A descriptor whose reader has gone gives EPIPE and never raises SIGPIPE:
// sockets are written with MSG_NOSIGNAL, anything else with SIGPIPE held back on the calling thread
// for the duration of the write (the process's signal dispositions are left alone).
int writeAll(int fd, const void* data, std::size_t size);

// Reads up to size bytes, retrying interrupted calls. Returns the count (0 at the end) or -1 with
// errno set.
long readSome(int fd, void* data, std::size_t size);

// Closes a descriptor that this code owns, keeping errno.
void closeQuietly(int fd);

} // namespace vlsmp3
