#pragma once

// Text conversions of the tag writers. Tag values are UTF-16 (as the tag properties hold them).

#include <string>
#include <string_view>

namespace vlsmp3 {

// True when every character of the text is in ISO-8859-1 (U+0000 to U+00FF).
bool fitsLatin1(std::u16string_view text);

// ISO-8859-1 bytes, one per character; a character outside it (a surrogate pair counts as one
// character) becomes '?'.
std::string toLatin1(std::u16string_view text);

// The decimal number at the start of the text as C's atol reads it (leading white space, an
// optional sign, digits up to the first other character); 0 when there is none. Saturates at the
// limits of long.
long leadingInteger(std::u16string_view text);

} // namespace vlsmp3
