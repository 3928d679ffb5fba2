#pragma once

// vlsmp3x1: the MP3 encoder and decoder controls, type library VLSMP3Libx1 version 1.0.

#include "vlscom/guid.h"

inline constexpr GUID LIBID_VLSMP3Libx1 = vlscom::makeGuid("{830A4C67-4C87-481F-B670-66A07C83CBF5}");

inline constexpr CLSID CLSID_VlsMP3Encoderx1 = vlscom::makeGuid("{A579141F-384D-4EC1-98C6-F2C705B137DC}");
inline constexpr char VlsMP3Encoderx1_Description[] = "MP3Encoder Class";
inline constexpr char16_t VlsMP3Encoderx1_ProgID[] = u"Aurikit.MP3Encoderx1";
inline constexpr char16_t VlsMP3Encoderx1_VersionedProgID[] = u"Aurikit.MP3Encoderx1.1";

inline constexpr CLSID CLSID_VlsMP3Decoderx1 = vlscom::makeGuid("{BEAB8403-F13B-4396-A147-87EE7754CC97}");
inline constexpr char VlsMP3Decoderx1_Description[] = "VlsMP3Decoder Class";
inline constexpr char16_t VlsMP3Decoderx1_ProgID[] = u"Aurikit.MP3Decoderx1";
inline constexpr char16_t VlsMP3Decoderx1_VersionedProgID[] = u"Aurikit.MP3Decoderx1.1";
