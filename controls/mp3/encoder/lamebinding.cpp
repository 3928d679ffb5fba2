#include "lamebinding.h"

#include "encodererror.h"

#include <cstdlib>
#include <dlfcn.h>
#include <optional>

namespace vlsmp3 {

namespace {
template <class Function> bool lookUp(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}
} // namespace

LameBinding LameBinding::load(const char* library)
{
    void* handle = ::dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw EncoderError(EncoderMessage::LibraryNotLoaded);
    LameBinding binding;
    const bool complete = lookUp(handle, "lame_init", binding.init)
        && lookUp(handle, "lame_close", binding.close) && lookUp(handle, "lame_set_errorf", binding.setErrorf)
        && lookUp(handle, "lame_set_debugf", binding.setDebugf)
        && lookUp(handle, "lame_set_msgf", binding.setMsgf)
        && lookUp(handle, "lame_set_in_samplerate", binding.setInSamplerate)
        && lookUp(handle, "lame_set_num_channels", binding.setNumChannels)
        && lookUp(handle, "lame_set_out_samplerate", binding.setOutSamplerate)
        && lookUp(handle, "lame_set_mode", binding.setMode)
        && lookUp(handle, "lame_set_brate", binding.setBrate)
        && lookUp(handle, "lame_set_preset", binding.setPreset)
        && lookUp(handle, "lame_set_VBR", binding.setVbr)
        && lookUp(handle, "lame_set_VBR_mean_bitrate_kbps", binding.setVbrMeanBitrateKbps)
        && lookUp(handle, "lame_set_VBR_min_bitrate_kbps", binding.setVbrMinBitrateKbps)
        && lookUp(handle, "lame_set_quality", binding.setQuality)
        && lookUp(handle, "lame_set_original", binding.setOriginal)
        && lookUp(handle, "lame_set_bWriteVbrTag", binding.setWriteVbrTag)
        && lookUp(handle, "lame_init_params", binding.initParams)
        && lookUp(handle, "lame_get_framesize", binding.framesize)
        && lookUp(handle, "lame_get_num_channels", binding.numChannels)
        && lookUp(handle, "lame_encode_buffer", binding.encodeBuffer)
        && lookUp(handle, "lame_encode_buffer_interleaved", binding.encodeBufferInterleaved)
        && lookUp(handle, "lame_encode_buffer_float", binding.encodeBufferFloat)
        && lookUp(handle, "lame_encode_flush", binding.encodeFlush)
        && lookUp(handle, "lame_get_lametag_frame", binding.lametagFrame)
        && lookUp(handle, "get_lame_version", binding.version);
    if (!complete)
        throw EncoderError(EncoderMessage::EngineNotInitialized);
    return binding;
}

const LameBinding& LameBinding::bound()
{
    static std::mutex mutex;
    static std::optional<LameBinding> binding;
    const std::lock_guard lock(mutex);
    if (!binding) {
        const char* overridden = std::getenv(libraryVariable);
        binding = load(overridden && *overridden ? overridden : libraryName);
    }
    return *binding;
}

std::mutex& LameBinding::setupMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace vlsmp3
