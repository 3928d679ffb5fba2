#include "vorbisfilebinding.h"

#include "librarybinding.h"
#include "vlsdecmessages.h"

namespace vlsdec {

namespace {

VorbisfileBinding load()
{
    vlsmp3::LibrarySymbols symbols(
        vlsmp3::libraryFile(VorbisfileBinding::libraryName, VorbisfileBinding::libraryVariable));
    if (!symbols.loaded())
        fail(DecMessage::VorbisLibraryNotLoaded);
    VorbisfileBinding b;
    symbols.find("ov_open_callbacks", b.openCallbacks)
        .find("ov_clear", b.clear)
        .find("ov_info", b.info)
        .find("ov_comment", b.comment)
        .find("ov_read", b.read)
        .find("ov_pcm_total", b.pcmTotal)
        .find("ov_time_total", b.timeTotal)
        .find("ov_pcm_seek", b.pcmSeek)
        .find("ov_bitrate", b.bitrate);
    if (!symbols.complete())
        fail(DecMessage::VorbisEngineNotInitialized);
    return b;
}

} // namespace

const VorbisfileBinding& VorbisfileBinding::bound()
{
    return vlsmp3::processBinding<VorbisfileBinding>(load);
}

} // namespace vlsdec
