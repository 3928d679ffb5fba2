#include "decoderclient.h"

#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlscom/errorinfo.h"
#include "vlscom/systemerror.h"
#include "vlsmp3x1.h"

namespace tmbr::cli {

void check(HRESULT hr)
{
    if (SUCCEEDED(hr))
        return;
    const auto error = vlscom::takeErrorInfo();
    if (error && !error->description.empty())
        throw ComponentError(vlscom::toUtf8(error->description));
    throw ComponentError(vlscom::describeHresult(hr));
}

vlscom::ComPtr<IVlsAudioDecoder> openDecoder(const std::string& path)
{
    vlscom::ComPtr<IVlsAudioDecoder> decoder;
    check(vlscom::createInstance(VlsMP3Decoderx1_ProgID, decoder));
    check(decoder->Open(vlscom::Bstr(path).get()));
    return decoder;
}

} // namespace tmbr::cli
