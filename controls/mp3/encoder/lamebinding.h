#pragma once

// The encoding engine library (libmp3lame), loaded at run time by name and never unloaded.

#include <lame/lame.h>
#include <mutex>

namespace vlsmp3 {

class LameBinding {
public:
    // The library's file name; the environment variable VLSMP3_LAME_LIBRARY overrides it (a name
    // or a path).
    static constexpr const char* libraryName = "libmp3lame.so.0";
    static constexpr const char* libraryVariable = "VLSMP3_LAME_LIBRARY";

    // The process-wide binding, made on the first successful call and kept for the process's life.
    // Throws EncoderError #1 when the library cannot be loaded, #2 when an entry point is missing
    // (a later call tries again). Safe from any thread.
    static const LameBinding& bound();

    // Loads the named library and looks up every entry point, without keeping the result; throws as
    // bound() does. The library stays loaded.
    static LameBinding load(const char* library);

    // Held while a stream is set up or taken down: the library fills shared tables on first use.
    static std::mutex& setupMutex();

    decltype(&::lame_init) init = nullptr;
    decltype(&::lame_close) close = nullptr;
    decltype(&::lame_set_errorf) setErrorf = nullptr;
    decltype(&::lame_set_debugf) setDebugf = nullptr;
    decltype(&::lame_set_msgf) setMsgf = nullptr;
    decltype(&::lame_set_in_samplerate) setInSamplerate = nullptr;
    decltype(&::lame_set_num_channels) setNumChannels = nullptr;
    decltype(&::lame_set_out_samplerate) setOutSamplerate = nullptr;
    decltype(&::lame_set_mode) setMode = nullptr;
    decltype(&::lame_set_brate) setBrate = nullptr;
    decltype(&::lame_set_preset) setPreset = nullptr;
    decltype(&::lame_set_VBR) setVbr = nullptr;
    decltype(&::lame_set_VBR_mean_bitrate_kbps) setVbrMeanBitrateKbps = nullptr;
    decltype(&::lame_set_VBR_min_bitrate_kbps) setVbrMinBitrateKbps = nullptr;
    decltype(&::lame_set_quality) setQuality = nullptr;
    decltype(&::lame_set_original) setOriginal = nullptr;
    decltype(&::lame_set_bWriteVbrTag) setWriteVbrTag = nullptr;
    decltype(&::lame_init_params) initParams = nullptr;
    decltype(&::lame_get_framesize) framesize = nullptr;
    decltype(&::lame_get_num_channels) numChannels = nullptr;
    decltype(&::lame_encode_buffer) encodeBuffer = nullptr;
    decltype(&::lame_encode_buffer_interleaved) encodeBufferInterleaved = nullptr;
    decltype(&::lame_encode_buffer_float) encodeBufferFloat = nullptr;
    decltype(&::lame_encode_flush) encodeFlush = nullptr;
    decltype(&::lame_get_lametag_frame) lametagFrame = nullptr;
    decltype(&::get_lame_version) version = nullptr;
};

} // namespace vlsmp3
