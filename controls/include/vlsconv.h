#pragma once

// vlsconv: the audio converter control, type library VLSCONVLib version 1.0.
//
// IVlsAudioConverter copies audio from a decoder (IVlsAudioDecoder) to an encoder
// (IVlsAudioEncoder): Go converts on a worker thread and fires _IVlsAudioConverterEvents on the
// thread that owns the converter (which must keep pumping its messages); GoSync converts on the
// caller's thread and fires nothing. Every member returns an HRESULT; a failure with a message
// returns DISP_E_EXCEPTION with error information (source "Aurikit.AudioConverter.1").

#include "vlsaudiodecoder.h"
#include "vlsaudioencoder.h"
#include "vlscom/bstr.h"
#include "vlscom/dispatch.h"
#include "vlscom/guid.h"

inline constexpr GUID LIBID_VLSCONVLib = vlscom::makeGuid("{0A68293B-E8B1-4857-8426-063ADA834D7D}");

inline constexpr CLSID CLSID_VlsAudioConverter = vlscom::makeGuid("{8A96FA28-7162-4544-8D60-2757A2338732}");
inline constexpr char VlsAudioConverter_Description[] = "VlsAudioConverter Class";
inline constexpr char16_t VlsAudioConverter_ProgID[] = u"Aurikit.AudioConverter";
inline constexpr char16_t VlsAudioConverter_VersionedProgID[] = u"Aurikit.AudioConverter.1";

inline constexpr IID DIID__IVlsAudioConverterEvents
    = vlscom::makeGuid("{3F23B375-9850-4A75-8673-E1E191474F14}");

// The error event interfaces the converter subscribes to on its source and destination, as its own
// type library declares them (_IVlsAudioDecoderEvents, _IVlsAudioEncoderEvents: OnError, DISPID 1,
// BSTR ErrorMessage). The MP3 controls of vlsmp3x1 publish theirs under other identities, so the
// converter's subscriptions to them fail.
inline constexpr IID DIID_VlsConv_IVlsAudioEncoderEvents
    = vlscom::makeGuid("{F9ADEB91-8A20-4CB8-9D2D-3B7E96A09E8A}");
inline constexpr IID DIID_VlsConv_IVlsAudioDecoderEvents
    = vlscom::makeGuid("{AD6A6218-BEF3-481E-8E4A-95B312CCF418}");

enum VlsAudioConverterDispid : DISPID {
    DISPID_Converter_Source = 1,
    DISPID_Converter_Destination = 2,
    DISPID_Converter_KeepTags = 3,
    DISPID_Converter_OpenDestination = 4,
    DISPID_Converter_Go = 5,
    DISPID_Converter_GoSync = 6,
    DISPID_Converter_CancelConversion = 7,
    DISPID_Converter_CreateDecoderFor = 8,
};

enum VlsAudioConverterEventDispid : DISPID {
    DISPID_Converter_OnError = 1, // (BSTR ErrorMessage)
    DISPID_Converter_OnStart = 2,
    DISPID_Converter_OnProgress = 3, // (std::int32_t Percent)
    DISPID_Converter_OnFinish = 4,
};

struct IVlsAudioConverter : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{1E63BADF-F954-4A15-916A-0DADF37FFBDF}");
    using Base = IDispatch;

    // The decoder to read from (null when none), asked afresh for IVlsAudioDecoder.
    virtual HRESULT get_Source(IVlsAudioDecoder** pVal) = 0;
    // Null clears; refused while a conversion runs.
    virtual HRESULT put_Source(IVlsAudioDecoder* newVal) = 0;
    virtual HRESULT get_Destination(IVlsAudioEncoder** pVal) = 0;
    virtual HRESULT put_Destination(IVlsAudioEncoder* newVal) = 0;
    // Copy the seven tag fields from the source to the destination before converting (initially 1).
    virtual HRESULT get_KeepTags(VARIANT_BOOL* pVal) = 0;
    virtual HRESULT put_KeepTags(VARIANT_BOOL newVal) = 0;
    // Opens the destination on the source's file name cut at its last ".".
    virtual HRESULT OpenDestination() = 0;
    // Starts converting on a worker thread: OnStart, OnProgress, [OnError], OnFinish.
    virtual HRESULT Go() = 0;
    // Converts on the caller's thread; no events.
    virtual HRESULT GoSync() = 0;
    virtual HRESULT CancelConversion() = 0;
    // Picks a decoder class by extension (and the WAV format tag), makes it the source and opens
    // the file with it.
    virtual HRESULT CreateDecoderFor(BSTR szFilename) = 0;
};
