#pragma once

// Putting an ID3v2 tag in front of a finished MP3 file.

#include <cstdint>
#include <string>
#include <vector>

namespace vlsmp3 {

// Writes the tag into a temporary file created exclusively beside the file (vlscom::ReplacementFile:
// never an existing file), copies the file after it in pieces of 16384 bytes and renames the
// temporary file over the file, keeping its permissions; a link is followed. Throws EncoderError
// #12 (cannot create the temporary file), #13 (cannot write the tag), #14 (cannot open the file),
// #15 (cannot read it), #16 (cannot write the copy), TagReplaceFailed (the copy cannot take the
// file's place) or TagOutputNotRegular (a device or a pipe, which cannot be rewritten). After any
// failure the temporary file is gone and the file is as it was.
void putId3v2TagInFront(const std::string& path, const std::vector<std::uint8_t>& tag);

} // namespace vlsmp3
