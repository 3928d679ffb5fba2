#pragma once

// The Ogg Vorbis decoding library (libvorbisfile), loaded at run time by name and never unloaded.

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace vlsdec {

class VorbisfileBinding {
public:
    // The library's file name; the environment variable VLSDEC_VORBISFILE_LIBRARY overrides it (a
    // name or a path).
    static constexpr const char* libraryName = "libvorbisfile.so.3";
    static constexpr const char* libraryVariable = "VLSDEC_VORBISFILE_LIBRARY";

    // The process-wide binding, made on the first successful call and kept for the process's life.
    // Throws ControlError VorbisLibraryNotLoaded when the library cannot be loaded,
    // VorbisEngineNotInitialized when an entry point is missing (a later call tries again). Safe
    // from any thread.
    static const VorbisfileBinding& bound();

    decltype(&::ov_open_callbacks) openCallbacks = nullptr;
    decltype(&::ov_clear) clear = nullptr;
    decltype(&::ov_info) info = nullptr;
    decltype(&::ov_comment) comment = nullptr;
    decltype(&::ov_read) read = nullptr;
    decltype(&::ov_pcm_total) pcmTotal = nullptr;
    decltype(&::ov_time_total) timeTotal = nullptr;
    decltype(&::ov_pcm_seek) pcmSeek = nullptr;
    decltype(&::ov_bitrate) bitrate = nullptr;
};

} // namespace vlsdec
