#include "vorbisfilebinding.h"

#include "vlsdecmessages.h"

#include <cstdlib>
#include <dlfcn.h>
#include <mutex>

namespace vlsdec {

namespace {

template <class F> void lookUp(void* library, const char* name, F& entry)
{
    entry = reinterpret_cast<F>(::dlsym(library, name));
    if (!entry)
        fail(DecMessage::VorbisEngineNotInitialized);
}

VorbisfileBinding load()
{
    const char* configured = std::getenv(VorbisfileBinding::libraryVariable);
    const char* name = configured && *configured ? configured : VorbisfileBinding::libraryName;
    void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        fail(DecMessage::VorbisLibraryNotLoaded);
    VorbisfileBinding binding;
    lookUp(library, "ov_open_callbacks", binding.openCallbacks);
    lookUp(library, "ov_clear", binding.clear);
    lookUp(library, "ov_info", binding.info);
    lookUp(library, "ov_comment", binding.comment);
    lookUp(library, "ov_read", binding.read);
    lookUp(library, "ov_pcm_total", binding.pcmTotal);
    lookUp(library, "ov_time_total", binding.timeTotal);
    lookUp(library, "ov_pcm_seek", binding.pcmSeek);
    lookUp(library, "ov_bitrate", binding.bitrate);
    return binding;
}

} // namespace

const VorbisfileBinding& VorbisfileBinding::bound()
{
    static std::mutex mutex;
    static VorbisfileBinding binding;
    static bool made = false;
    const std::lock_guard lock(mutex);
    if (!made) {
        binding = load();
        made = true;
    }
    return binding;
}

} // namespace vlsdec
