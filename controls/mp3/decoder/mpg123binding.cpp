#include "mpg123binding.h"

#include "decodererror.h"

#include <cstdlib>
#include <dlfcn.h>
#include <mutex>

namespace vlsmp3 {

namespace {

static_assert(sizeof(off_t) == 8, "the plain entry points take 64-bit offsets");

template <class F> void lookUp(void* library, const char* name, F& entry)
{
    entry = reinterpret_cast<F>(::dlsym(library, name));
    if (!entry)
        throw DecoderError(DecoderMessage::EngineNotInitialized);
}

Mpg123Binding load()
{
    const char* configured = std::getenv(Mpg123Binding::libraryVariable);
    const char* name = configured && *configured ? configured : Mpg123Binding::libraryName;
    void* library = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        throw DecoderError(DecoderMessage::LibraryNotLoaded);
    Mpg123Binding binding;
    lookUp(library, "mpg123_init", binding.init);
    lookUp(library, "mpg123_new", binding.create);
    lookUp(library, "mpg123_delete", binding.destroy);
    lookUp(library, "mpg123_param", binding.param);
    lookUp(library, "mpg123_format_none", binding.formatNone);
    lookUp(library, "mpg123_format", binding.format);
    lookUp(library, "mpg123_rates", binding.rates);
    lookUp(library, "mpg123_open_feed", binding.openFeed);
    lookUp(library, "mpg123_feed", binding.feed);
    lookUp(library, "mpg123_decode_frame", binding.decodeFrame);
    lookUp(library, "mpg123_getformat", binding.getFormat);
    lookUp(library, "mpg123_close", binding.close);
    lookUp(library, "mpg123_framepos", binding.framePosition);
    lookUp(library, "mpg123_info", binding.frameInfo);
    if (binding.init() != MPG123_OK)
        throw DecoderError(DecoderMessage::EngineNotInitialized);
    return binding;
}

} // namespace

const Mpg123Binding& Mpg123Binding::bound()
{
    static std::mutex mutex;
    static Mpg123Binding binding;
    static bool made = false;
    const std::lock_guard lock(mutex);
    if (!made) {
        binding = load();
        made = true;
    }
    return binding;
}

} // namespace vlsmp3
