#pragma once

// The published side of the fake decoder and encoder server that the converter tests drive.
//
// Every fake answers IFakeAudio besides IVlsAudioDecoder or IVlsAudioEncoder and IAudioTag. Its
// behaviour comes from a script "key=value;key=value" set before use; its log lists the calls it
// received, one per line ("Open NAME", "Format", "Read", "Close", "SetInputFormatWFX 1 2 44100 16",
// "Write N", "Title=TEXT" ...).
//
// Decoder keys: blocks=N (reads that deliver data, default 3), bytes=N (per read, default 4096),
// duration=N|fail (default: blocks), format=fail|failinfo, read=K:MODE (the K-th Read fails),
// close=fail|failinfo, open=fail (also refused: a name containing "denied"), filename=fail, tags=none,
// delay=MS (before each Read), and the tag fields title= artist= album= year= genre= track= comment=. Encoder
// keys: format=fail|failinfo, write=K:MODE, close=fail|failinfo, tags=none, delay=MS (before each Write).
// MODE: fail (E_FAIL, no error information), failinfo (error information "Fake read failed." or
// "Fake write failed."), failevent / failinfoevent (the same, and the object's own OnError event
// with "fake decoder broke" or "fake encoder broke" is posted to fire on its owning thread).

#include "vlscom/dispatch.h"
#include "vlscom/guid.h"

inline constexpr GUID LIBID_FakeAudioLib = vlscom::makeGuid("{6C7A1D30-5E2B-4C1F-8A90-3B4D5E6F7000}");
// Events under the converter's listener identities.
inline constexpr CLSID CLSID_FakeDecoder = vlscom::makeGuid("{6C7A1D30-5E2B-4C1F-8A90-3B4D5E6F7001}");
inline constexpr CLSID CLSID_FakeEncoder = vlscom::makeGuid("{6C7A1D30-5E2B-4C1F-8A90-3B4D5E6F7002}");
// Events under the identities of the MP3 controls, which the converter cannot subscribe to.
inline constexpr CLSID CLSID_FakeMuteDecoder = vlscom::makeGuid("{6C7A1D30-5E2B-4C1F-8A90-3B4D5E6F7003}");
inline constexpr CLSID CLSID_FakeMuteEncoder = vlscom::makeGuid("{6C7A1D30-5E2B-4C1F-8A90-3B4D5E6F7004}");

struct IFakeAudio : IDispatch {
    static constexpr IID iid = vlscom::makeGuid("{6C7A1D30-5E2B-4C1F-8A90-3B4D5E6F7010}");
    using Base = IDispatch;

    virtual HRESULT put_Script(BSTR script) = 0;
    virtual HRESULT get_Log(BSTR* log) = 0;
    // The class's name: "FakeDecoder", "FakeMuteDecoder", "FakeEncoder", "FakeMuteEncoder", or for
    // the fakes registered under the decoder identities "VlsWaveDecoder", "VlsMP3Decoder",
    // "VlsVorbisDecoder".
    virtual HRESULT get_Kind(BSTR* kind) = 0;
};

inline constexpr UINT WM_FAKE_ERROR = 1300;

// The status of a refused Open or Filename (the Win32 "access denied").
inline constexpr HRESULT FAKE_E_DENIED = static_cast<HRESULT>(0x80070005);
