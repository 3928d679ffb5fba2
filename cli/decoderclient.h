#pragma once

// The MP3 decoder control as the tmbr commands use it: created by ProgID through the component
// runtime (the class registry of the user, or VLSCOM_REGISTRY), its failures turned into the
// control's message.

#include "audiotools/componenterror.h"
#include "vlsaudiodecoder.h"
#include "vlscom/comptr.h"

#include <string>

namespace tmbr::cli {

using audiotools::check;
using audiotools::ComponentError;

// Creates "Aurikit.MP3Decoderx1" and opens the file. Throws ComponentError.
vlscom::ComPtr<IVlsAudioDecoder> openDecoder(const std::string& path);

} // namespace tmbr::cli
