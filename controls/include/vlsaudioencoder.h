#pragma once

// IVlsAudioEncoder: the MP3 encoder control of vlsmp3x1 (coclass VlsMP3Encoderx1, ProgID
// "Aurikit.MP3Encoderx1"), and its event interface _IVlsAudioEncoderEvents. Every member returns
// an HRESULT; a failure with a message returns DISP_E_EXCEPTION with error information.

#include "vlsaudiotag.h"
#include "vlscom/bstr.h"
#include "vlscom/dispatch.h"
#include "vlscom/guid.h"
#include "waveformat.h"

#include <cstdint>

inline constexpr IID DIID__IVlsAudioEncoderEvents
    = vlscom::makeGuid("{F9ADEB91-8A20-4CB8-9D2D-3B7E96A09E8B}");

enum VlsAudioEncoderDispid : DISPID {
    DISPID_Encoder_Open = 1,
    DISPID_Encoder_OpenHandle = 2,
    DISPID_Encoder_SetInputFormat = 3,
    DISPID_Encoder_SetInputFormatWFX = 4,
    DISPID_Encoder_SetOutputFormatVBR = 5,
    DISPID_Encoder_SetOutputFormatABR = 6,
    DISPID_Encoder_SetOutputFormatCBR = 7,
    DISPID_Encoder_Write = 8,
    DISPID_Encoder_Close = 9,
    DISPID_Encoder_Filename = 10,
    DISPID_Encoder_AddExtension = 11,
    DISPID_Encoder_TagData = 12,
    DISPID_Encoder_OverwritePrompt = 13,
    DISPID_Encoder_EncodeFromWave = 15,
    DISPID_Encoder_EncodeFromWaveSync = 16,
    DISPID_Encoder_ForceEncodedSamplerate = 17,
};

enum VlsAudioEncoderEventDispid : DISPID {
    DISPID_Encoder_OnError = 1, // (BSTR ErrorMessage)
    DISPID_Encoder_OnWaveEncodeStart = 2,
    DISPID_Encoder_OnWaveEncodeProgress = 3, // (std::int32_t PercentDone)
    DISPID_Encoder_OnWaveEncodeFinish = 4,
};

struct IVlsAudioEncoder : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{9A45E4AB-68A2-4C85-B317-394351CC3330}");
    using Base = IDispatch;

    // Creates the MP3 file (UTF-16 path; ".mp3" added unless present when AddExtension is on).
    virtual HRESULT Open(BSTR szFilename) = 0;
    // Writes the MP3 stream into the caller's file descriptor, which stays the caller's; -1 fails.
    virtual HRESULT OpenHandle(std::int64_t hSource) = 0;
    virtual HRESULT SetInputFormat(
        std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample)
        = 0;
    virtual HRESULT SetInputFormatWFX(const WAVEFORMATEX* pWfx) = 0;
    // Quality 0 to 1.
    virtual HRESULT SetOutputFormatVBR(float fQuality) = 0;
    // Bits per second.
    virtual HRESULT SetOutputFormatABR(std::int32_t nAvgBitrate) = 0;
    virtual HRESULT SetOutputFormatCBR(std::int32_t nBitrate) = 0;
    // count bytes of PCM in the input format; blocks while the encoder is behind.
    virtual HRESULT Write(const std::uint8_t* data, std::int32_t count) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT get_Filename(BSTR* pVal) = 0;
    virtual HRESULT get_AddExtension(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_AddExtension(VARIANT_BOOL newVal) = 0;
    virtual HRESULT get_TagData(IAudioTag** pVal) = 0;
    virtual HRESULT get_OverwritePrompt(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_OverwritePrompt(VARIANT_BOOL newVal) = 0;
    virtual HRESULT EncodeFromWave(BSTR waveFile) = 0;
    virtual HRESULT EncodeFromWaveSync(BSTR waveFile) = 0;
    // Output sample rate in Hz for the next stream; 0 lets the engine choose.
    virtual HRESULT ForceEncodedSamplerate(std::int32_t SampleRate) = 0;
};
