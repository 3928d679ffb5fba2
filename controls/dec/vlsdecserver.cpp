// The vlsdec server: its type library, its three decoder classes and the four exports.

#include "decoderkinds.h"
#include "vlsdec.h"
#include "vlsshell/module.h"

namespace {

const vlsshell::ServerDescription& describeServer()
{
    static const vlsshell::TypeLibDescription typeLib { LIBID_VLSDECLib, "VLSDECLib", "Audio Decoders 1.0", 1,
        0, {} };
    static const vlsshell::ServerDescription server { &typeLib,
        { &vlsdec::waveDecoderClass(), &vlsdec::mp3DecoderClass(), &vlsdec::vorbisDecoderClass() } };
    return server;
}

} // namespace

VLSSHELL_SERVER_EXPORTS(describeServer)
