#pragma once

// vlsdec: the decoder classes the audio converter chooses from by file type, each behind
// IVlsAudioDecoder (vlsaudiodecoder.h). vlsdec registers VlsWaveDecoder (PCM RIFF/WAVE files),
// VlsMP3Decoder (MP3 files, also RIFF/WAVE files carrying MPEG Layer-3) and VlsVorbisDecoder
// (Ogg Vorbis files). VlsWMADecoder is known by identity only: no server provides it.

#include "vlscom/guid.h"

inline constexpr GUID LIBID_VLSDECLib = vlscom::makeGuid("{5C1D7E0A-93B4-4F1E-9A27-6D3E8B41C2F5}");

inline constexpr CLSID CLSID_VlsWMADecoder = vlscom::makeGuid("{7DB0A96A-362D-4F7C-8ADD-2A18D4452BEA}");
inline constexpr CLSID CLSID_VlsMP3Decoder = vlscom::makeGuid("{3EC32CF4-BEC1-4030-81DC-034525429C14}");
inline constexpr CLSID CLSID_VlsVorbisDecoder = vlscom::makeGuid("{A08B7515-4307-4780-A35A-B954DAED4225}");
inline constexpr CLSID CLSID_VlsWaveDecoder = vlscom::makeGuid("{2AD4671A-F007-412F-AC48-5E1103F74C98}");

inline constexpr char16_t VlsWaveDecoder_ProgID[] = u"Aurikit.WaveDecoder";
inline constexpr char16_t VlsMP3Decoder_ProgID[] = u"Aurikit.MP3Decoder";
inline constexpr char16_t VlsVorbisDecoder_ProgID[] = u"Aurikit.VorbisDecoder";

inline constexpr char16_t VlsWaveDecoder_VersionedProgID[] = u"Aurikit.WaveDecoder.1";
inline constexpr char16_t VlsMP3Decoder_VersionedProgID[] = u"Aurikit.MP3Decoder.1";
inline constexpr char16_t VlsVorbisDecoder_VersionedProgID[] = u"Aurikit.VorbisDecoder.1";

// The decoders fire OnError (DISPID 1, BSTR ErrorMessage) when a Read fails, under the event
// identity the audio converter listens to (DIID_VlsConv_IVlsAudioDecoderEvents in vlsconv.h), on
// the thread that created the decoder (which must keep pumping its messages).
