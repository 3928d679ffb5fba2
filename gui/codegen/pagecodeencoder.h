#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tmbr::codegen {

// The "Encrypt HTML" transformation: the code becomes a script that writes it
// back with document.write(unescape("...")). Input is UTF-8; an ASCII
// character is written as \xNN (two lower-case hex digits), any other
// character as \uXXXX (UTF-16 code units), so the decoded page is exact.
// Linear in the input length. `yield`, when given, is called every few
// thousand characters so a window can process its events.
std::string EncodePageCode(std::string_view code, const std::function<void()>& yield = {});

} // namespace tmbr::codegen
