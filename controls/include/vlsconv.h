#pragma once

// vlsconv: the audio converter control, type library VLSCONVLib version 1.0.

#include "vlscom/guid.h"

inline constexpr GUID LIBID_VLSCONVLib = vlscom::makeGuid("{0A68293B-E8B1-4857-8426-063ADA834D7D}");

inline constexpr CLSID CLSID_VlsAudioConverter = vlscom::makeGuid("{8A96FA28-7162-4544-8D60-2757A2338732}");
inline constexpr char VlsAudioConverter_Description[] = "VlsAudioConverter Class";
inline constexpr char16_t VlsAudioConverter_ProgID[] = u"Aurikit.AudioConverter";
inline constexpr char16_t VlsAudioConverter_VersionedProgID[] = u"Aurikit.AudioConverter.1";
