#include "lamebinding.h"

#include "encodererror.h"
#include "librarybinding.h"

namespace vlsmp3 {

LameBinding LameBinding::load(const char* library)
{
    LibrarySymbols symbols(library);
    if (!symbols.loaded())
        throw EncoderError(EncoderMessage::LibraryNotLoaded);
    LameBinding b;
    symbols.find("lame_init", b.init)
        .find("lame_close", b.close)
        .find("lame_set_errorf", b.setErrorf)
        .find("lame_set_debugf", b.setDebugf)
        .find("lame_set_msgf", b.setMsgf)
        .find("lame_set_in_samplerate", b.setInSamplerate)
        .find("lame_set_num_channels", b.setNumChannels)
        .find("lame_set_out_samplerate", b.setOutSamplerate)
        .find("lame_set_mode", b.setMode)
        .find("lame_set_brate", b.setBrate)
        .find("lame_set_preset", b.setPreset)
        .find("lame_set_VBR", b.setVbr)
        .find("lame_set_VBR_mean_bitrate_kbps", b.setVbrMeanBitrateKbps)
        .find("lame_set_VBR_min_bitrate_kbps", b.setVbrMinBitrateKbps)
        .find("lame_set_quality", b.setQuality)
        .find("lame_set_original", b.setOriginal)
        .find("lame_set_bWriteVbrTag", b.setWriteVbrTag)
        .find("lame_init_params", b.initParams)
        .find("lame_get_framesize", b.framesize)
        .find("lame_get_num_channels", b.numChannels)
        .find("lame_encode_buffer", b.encodeBuffer)
        .find("lame_encode_buffer_interleaved", b.encodeBufferInterleaved)
        .find("lame_encode_buffer_float", b.encodeBufferFloat)
        .find("lame_encode_flush", b.encodeFlush)
        .find("lame_get_lametag_frame", b.lametagFrame)
        .find("get_lame_version", b.version);
    if (!symbols.complete())
        throw EncoderError(EncoderMessage::EngineNotInitialized);
    return b;
}

const LameBinding& LameBinding::bound()
{
    return processBinding<LameBinding>([] { return load(libraryFile(libraryName, libraryVariable)); });
}

std::mutex& LameBinding::setupMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace vlsmp3
