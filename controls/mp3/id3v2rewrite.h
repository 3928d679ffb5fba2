#pragma once

// Putting an ID3v2 tag in front of a finished MP3 file.

#include <cstdint>
#include <string>
#include <vector>

namespace vlsmp3 {

// The temporary file's name: the path with its last character replaced by '~' ("a.mp3" gives
// "a.mp~").
std::string temporaryTagPath(const std::string& path);

// Writes the tag into the temporary file, copies the file after it in pieces of 16384 bytes and
// moves the temporary file onto the path. Throws EncoderError #12 (cannot create the temporary
// file), #13 (cannot write the tag), #14 (cannot open the file), #15 (cannot read it), #16 (cannot
// write the copy or move it into place). After any failure the temporary file is gone and the
// file is as it was.
void putId3v2TagInFront(const std::string& path, const std::vector<std::uint8_t>& tag);

} // namespace vlsmp3
