#pragma once

// The MP3 decoder control as the tmbr commands use it: created by ProgID through the component
// runtime (the class registry of the user, or VLSCOM_REGISTRY), its failures turned into the
// control's message.

#include "vlsaudiodecoder.h"
#include "vlscom/comptr.h"

#include <stdexcept>
#include <string>

namespace tmbr::cli {

// A failure of the control: what() is its message, or the status described when it gave none.
class ComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ComponentError when hr failed.
void check(HRESULT hr);

// Creates "Aurikit.MP3Decoderx1" and opens the file. Throws ComponentError.
vlscom::ComPtr<IVlsAudioDecoder> openDecoder(const std::string& path);

} // namespace tmbr::cli
