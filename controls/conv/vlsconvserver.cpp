// The vlsconv server: its type library, its class and the four exports.

#include "vlsaudioconverter.h"
#include "vlsshell/module.h"

namespace {

const vlsshell::ServerDescription& describeServer()
{
    static const vlsshell::TypeLibDescription typeLib { LIBID_VLSCONVLib, "VLSCONVLib",
        "Audio Converter Control", 1, 0, {} };
    static const vlsshell::ServerDescription server { &typeLib, { &vlsconv::converterClass() } };
    return server;
}

} // namespace

VLSSHELL_SERVER_EXPORTS(describeServer)
