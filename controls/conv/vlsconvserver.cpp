// The vlsconv server: its type library, its class and the four exports.

#include "vlsconv.h"
#include "vlsshell/module.h"

extern const char vlsconvConverterScript[];

namespace {

const vlsshell::ClassDescription converterClass { CLSID_VlsAudioConverter, "Aurikit.AudioConverter.1",
    vlsconvConverterScript, nullptr };

const vlsshell::ServerDescription& describeServer()
{
    static const vlsshell::TypeLibDescription typeLib { LIBID_VLSCONVLib, "VLSCONVLib",
        "Audio Converter Control", 1, 0, {} };
    static const vlsshell::ServerDescription server { &typeLib, { &converterClass } };
    return server;
}

} // namespace

VLSSHELL_SERVER_EXPORTS(describeServer)
