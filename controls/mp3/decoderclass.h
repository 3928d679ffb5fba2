#pragma once

// The decoder class as vlsmp3x1 registers and creates it (without the control's declarations).

#include "vlsshell/classdescription.h"

namespace vlsmp3 {

const vlsshell::ClassDescription& decoderClass();

} // namespace vlsmp3
