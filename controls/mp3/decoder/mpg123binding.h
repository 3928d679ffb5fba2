#pragma once

// The decoding engine library (libmpg123), loaded at run time by name and never unloaded.

#include <sys/types.h>

#define MPG123_NO_LARGENAME
#include <mpg123.h>

namespace vlsmp3 {

class Mpg123Binding {
public:
    // The library's file name; the environment variable VLSMP3_MPG123_LIBRARY overrides it (a name
    // or a path).
    static constexpr const char* libraryName = "libmpg123.so.0";
    static constexpr const char* libraryVariable = "VLSMP3_MPG123_LIBRARY";

    // The process-wide binding, made on the first successful call and kept for the process's life.
    // Throws DecoderError LibraryNotLoaded when the library cannot be loaded, EngineNotInitialized
    // when an entry point is missing (a later call tries again). Safe from any thread.
    static const Mpg123Binding& bound();

    decltype(&::mpg123_init) init = nullptr;
    decltype(&::mpg123_new) create = nullptr;
    decltype(&::mpg123_delete) destroy = nullptr;
    decltype(&::mpg123_param) param = nullptr;
    decltype(&::mpg123_format_none) formatNone = nullptr;
    decltype(&::mpg123_format) format = nullptr;
    decltype(&::mpg123_rates) rates = nullptr;
    decltype(&::mpg123_open_feed) openFeed = nullptr;
    decltype(&::mpg123_feed) feed = nullptr;
    // The 64-bit offset form (off_t is 64 bits on the platforms we build for).
    int (*decodeFrame)(mpg123_handle*, off_t*, unsigned char**, size_t*) = nullptr;
    decltype(&::mpg123_getformat) getFormat = nullptr;
    decltype(&::mpg123_info) frameInfo = nullptr;
    // Offset in the fed bytes of the frame parsed last.
    off_t (*framePosition)(mpg123_handle*) = nullptr;
    decltype(&::mpg123_close) close = nullptr;
};

} // namespace vlsmp3
