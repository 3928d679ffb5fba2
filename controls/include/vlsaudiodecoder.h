#pragma once

// IVlsAudioDecoder: the MP3 decoder control of vlsmp3x1 (coclass VlsMP3Decoderx1, ProgID
// "Aurikit.MP3Decoderx1"), and its event interface _IVlsAudioDecoderEvents. Every member returns
// an HRESULT; a failure with a message returns DISP_E_EXCEPTION with error information.

#include "vlsaudiotag.h"
#include "vlscom/bstr.h"
#include "vlscom/dispatch.h"
#include "vlscom/guid.h"
#include "waveformat.h"

#include <cstdint>

inline constexpr IID DIID__IVlsAudioDecoderEvents
    = vlscom::makeGuid("{AD6A6218-BEF3-481E-8E4A-95B312CCF419}");

enum VlsAudioDecoderDispid : DISPID {
    DISPID_Decoder_Open = 1,
    DISPID_Decoder_OpenHandle = 2,
    DISPID_Decoder_Position = 3,
    DISPID_Decoder_Format = 4,
    DISPID_Decoder_Bitrate = 5,
    DISPID_Decoder_Duration = 6,
    DISPID_Decoder_TagData = 7,
    DISPID_Decoder_Filename = 9,
    DISPID_Decoder_Seek = 10,
    DISPID_Decoder_Read = 11,
    DISPID_Decoder_Close = 12,
    DISPID_Decoder_SetOutputFormat = 13,
    DISPID_Decoder_SetOutputFormatWFX = 14,
};

enum VlsAudioDecoderEventDispid : DISPID {
    DISPID_Decoder_OnError = 1, // (BSTR ErrorMessage); declared, never raised
};

struct IVlsAudioDecoder : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{F2E3A291-FEB6-4D01-BF4B-E69EC9DCAB96}");
    using Base = IDispatch;

    // Opens an MP3 file (UTF-16 path) and reads its parameters and tags.
    virtual HRESULT Open(BSTR szFilename) = 0;
    // Closes an open file, then E_NOTIMPL: the decoder reads named files only.
    virtual HRESULT OpenHandle(std::int64_t hSource) = 0;
    // Read position, whole seconds.
    virtual HRESULT get_Position(std::int32_t* pVal) = 0;
    virtual HRESULT put_Position(std::int32_t newVal) = 0;
    // Copies the current output format into the caller's record.
    virtual HRESULT get_Format(WAVEFORMATEX* pVal) = 0;
    // Bits per second.
    virtual HRESULT get_Bitrate(std::int32_t* pVal) = 0;
    // Whole seconds.
    virtual HRESULT get_Duration(std::int32_t* pVal) = 0;
    virtual HRESULT get_TagData(IAudioTag** pVal) = 0;
    virtual HRESULT get_Filename(BSTR* pVal) = 0;
    // Whole seconds; takes effect at the next chunk the decoding thread produces.
    virtual HRESULT Seek(std::int32_t Position) = 0;
    // Up to count bytes of PCM in the output format; Read = 0 at the end of the stream.
    virtual HRESULT Read(std::uint8_t* data, std::int32_t count, std::int32_t* Read) = 0;
    virtual HRESULT Close() = 0;
    // 0 keeps a value; channels 0-2, bits 0, 8 or 16; only before the first Read.
    virtual HRESULT SetOutputFormat(
        std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample)
        = 0;
    virtual HRESULT SetOutputFormatWFX(const WAVEFORMATEX* pWfx) = 0;
};
