#pragma once

// The dispatch description of IAudioTag, shared by every control that exposes tags (the controls
// of vlsmp3x1 and the decoders of vlsdec). Include this rather than declaring the specialisation
// again.

#include "vlsaudiotag.h"
#include "vlsshell/dispatchimpl.h"

template <> struct vlsshell::InterfaceInfo<IAudioTag> {
    static const InterfaceDescription& description();
};
