#pragma once

// The dispatch description of IAudioTag, shared by every control of vlsmp3x1 that exposes tags
// (defined in vlsmp3encoderx1.cpp). Include this rather than declaring the specialisation again.

#include "vlsaudiotag.h"
#include "vlsshell/dispatchimpl.h"

template <> struct vlsshell::InterfaceInfo<IAudioTag> {
    static const InterfaceDescription& description();
};
