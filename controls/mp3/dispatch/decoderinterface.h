#pragma once

// The dispatch description of IVlsAudioDecoder, shared by every control that implements it (the
// MP3 decoder of vlsmp3x1 and the decoders of vlsdec). Include this rather than declaring the
// specialisation again.

#include "vlsaudiodecoder.h"
#include "vlsshell/dispatchimpl.h"

template <> struct vlsshell::InterfaceInfo<IVlsAudioDecoder> {
    static const InterfaceDescription& description();
};
