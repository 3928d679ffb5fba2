#pragma once

#include "types.h"

#include <string>
#include <string_view>

namespace vlscom {

// The system's text for an errno value ("No such file or directory").
std::string systemErrorText(int errorCode);

// The pattern with its first "%s" replaced by systemErrorText(errorCode).
std::string formatSystemError(std::string_view pattern, int errorCode);

// errno as a status of the Win32 facility (0x80070000 | code); E_FAIL for 0, so that a failure
// whose cause was not recorded still fails.
HRESULT hresultFromErrno(int errorCode);

// A one-line description of a status for people: "0x80070002 (No such file or directory)",
// "0x80040154 (class not registered)".
std::string describeHresult(HRESULT hr);

} // namespace vlscom
