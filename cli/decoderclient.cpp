#include "decoderclient.h"

#include "vlscom/bstr.h"

namespace tmbr::cli {

vlscom::ComPtr<IVlsAudioDecoder> openDecoder(const std::string& path)
{
    auto decoder = audiotools::createControl<IVlsAudioDecoder>(audiotools::mp3DecoderControl);
    check(decoder->Open(vlscom::Bstr(path).get()));
    return decoder;
}

} // namespace tmbr::cli
