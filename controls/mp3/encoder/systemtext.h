#pragma once

#include <string>

namespace vlsmp3 {

// The system's text for an errno value ("No space left on device").
std::string systemErrorText(int errorCode);

} // namespace vlsmp3
