#pragma once

// The files the audio tools write for a user: under a temporary name beside the file the user
// named, put in place only once complete (vlscom::ReplacementFile), so that a failure, a signal or
// a kill leaves the previous file as it was.

#include "encoderclient.h"
#include "vlscom/replacementfile.h"

#include <string>
#include <string_view>

namespace tmbr::audiotools {

// The failure of a run whose decoder delivered no audio at all; such an output is never put in
// place.
inline constexpr char kNoAudioDecoded[] = "No audio could be decoded from this file.";

// Sets `output` up to replace `path`. Throws ComponentError "<path>: <the system's reason>".
void createOutput(vlscom::ReplacementFile& output, const std::string& path, std::string_view suffix = {});

// Puts the complete output in place. Throws ComponentError "<path>: <the system's reason>"; the
// previous file is then as it was and the temporary file gone.
void commitOutput(vlscom::ReplacementFile& output);

// Opens the encoder (AddExtension On) on a replacement of the file its Open would create from
// `path` (mp3OutputName): the encoder's Filename is the temporary file, output.target() the file
// the user gets. With OverwritePrompt On the control asks its question when that file exists, as
// its own Open does, and a No refuses the Open. A device or a pipe is opened by the control itself.
// Throws ComponentError; `output` is then discarded.
void openEncoderOutput(EncoderClient& encoder, const std::string& path, vlscom::ReplacementFile& output);

} // namespace tmbr::audiotools
