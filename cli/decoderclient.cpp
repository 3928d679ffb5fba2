#include "decoderclient.h"

#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlsmp3x1.h"

namespace tmbr::cli {

vlscom::ComPtr<IVlsAudioDecoder> openDecoder(const std::string& path)
{
    vlscom::ComPtr<IVlsAudioDecoder> decoder;
    check(vlscom::createInstance(VlsMP3Decoderx1_ProgID, decoder));
    check(decoder->Open(vlscom::Bstr(path).get()));
    return decoder;
}

} // namespace tmbr::cli
