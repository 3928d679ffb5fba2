#include "mpg123binding.h"

#include "decodererror.h"
#include "librarybinding.h"

namespace vlsmp3 {

namespace {

static_assert(sizeof(off_t) == 8, "the plain entry points take 64-bit offsets");

Mpg123Binding load()
{
    LibrarySymbols symbols(libraryFile(Mpg123Binding::libraryName, Mpg123Binding::libraryVariable));
    if (!symbols.loaded())
        throw DecoderError(DecoderMessage::LibraryNotLoaded);
    Mpg123Binding b;
    symbols.find("mpg123_init", b.init)
        .find("mpg123_new", b.create)
        .find("mpg123_delete", b.destroy)
        .find("mpg123_param", b.param)
        .find("mpg123_format_none", b.formatNone)
        .find("mpg123_format", b.format)
        .find("mpg123_rates", b.rates)
        .find("mpg123_open_feed", b.openFeed)
        .find("mpg123_feed", b.feed)
        .find("mpg123_decode_frame", b.decodeFrame)
        .find("mpg123_getformat", b.getFormat)
        .find("mpg123_close", b.close)
        .find("mpg123_framepos", b.framePosition)
        .find("mpg123_info", b.frameInfo);
    if (!symbols.complete() || b.init() != MPG123_OK)
        throw DecoderError(DecoderMessage::EngineNotInitialized);
    return b;
}

} // namespace

const Mpg123Binding& Mpg123Binding::bound()
{
    return processBinding<Mpg123Binding>(load);
}

} // namespace vlsmp3
