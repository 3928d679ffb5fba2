// The vlsmp3x1 server: its type library, its classes and the four exports.

#include "decoderclass.h"
#include "vlsmp3encoderx1.h"
#include "vlsmp3x1.h"
#include "vlsshell/module.h"

namespace {

const vlsshell::ServerDescription& describeServer()
{
    static const vlsshell::TypeLibDescription typeLib { LIBID_VLSMP3Libx1, "VLSMP3Libx1",
        "MP3 Encoder & Decoder Controls 1.0 (Customized)", 1, 0, {} };
    static const vlsshell::ServerDescription server { &typeLib,
        { &vlsmp3::encoderClass(), &vlsmp3::decoderClass() } };
    return server;
}

} // namespace

VLSSHELL_SERVER_EXPORTS(describeServer)
