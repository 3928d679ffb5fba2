#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tmbr::codegen {

// The "Encrypt HTML" transformation: the code becomes a script that writes it
// back with document.write(unescape("...")). Input is UTF-8; an ASCII
// character is written as \xNN (two lower-case hex digits), any other
// character as \uXXXX (UTF-16 code units, four lower-case hex digits; a pair
// of them above U+FFFF), so the decoded page is exact. The script hands the
// decoded string to unescape(), so a '%' is written as the escapes of "%25"
// to come out as itself. A byte that is not well-formed UTF-8 is written as
// \u00NN of its own value. Linear in the input length. `yield`, when given,
// is called after every 4096 input bytes so a window can process its events.
std::string EncodePageCode(std::string_view code, const std::function<void()>& yield = {});

} // namespace tmbr::codegen
