#pragma once

#include "vlscom/utf8.h"

namespace tmbr::codegen {

using vlscom::appendUtf8;
using vlscom::decodeUtf8;
using vlscom::Utf8Char;

} // namespace tmbr::codegen
