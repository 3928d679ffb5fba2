#pragma once

// Decoding of the text that tags hold into UTF-16. Every function reads only inside the bytes it is
// given; malformed text is decoded with U+FFFD in place of what cannot be read.

#include <cstdint>
#include <span>
#include <string>

namespace vlsmp3 {

enum class TagTextEncoding { Latin1, Utf16 };

// ISO-8859-1 bytes up to the first zero byte (or all of them).
std::u16string latin1Text(std::span<const std::uint8_t> bytes);

// UTF-16 up to the first zero unit on an aligned pair (or all of it). A leading byte-order mark
// chooses the byte order and is dropped; without one the text is little-endian. Unpaired
// surrogates and a lone last byte become U+FFFD.
std::u16string utf16Text(std::span<const std::uint8_t> bytes);

// The offset just past the first terminator of a string in the given encoding (one zero byte, or
// an aligned zero pair), or bytes.size() when there is none.
std::size_t pastTerminator(std::span<const std::uint8_t> bytes, TagTextEncoding encoding);

} // namespace vlsmp3
