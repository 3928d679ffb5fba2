#pragma once

// Failures of the controls as the audio tools see them: the control's own message, or a
// description of the status when it gave none.

#include "vlscom/types.h"

#include <stdexcept>
#include <string>

namespace tmbr::audiotools {

class ComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ComponentError when hr failed: what() is the description of the calling thread's error
// information (which it takes), else vlscom::describeHresult(hr).
void check(HRESULT hr);

// Text upper-cased character by character (Unicode case mapping, independent of the locale), as
// the optimizer shows a converter's error.
std::string upperCase(const std::string& utf8);

} // namespace tmbr::audiotools
