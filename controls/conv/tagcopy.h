#pragma once

#include "vlsaudiodecoder.h"
#include "vlsaudioencoder.h"

namespace vlsconv {

// Reads the seven tag fields (Title, Artist, Album, Year, Genre, TrackNo, Comment, in this order)
// from the source's TagData and writes each into the destination's TagData, ignoring the status of
// every call (a field that cannot be read is written empty); skipped when either side yields no
// tag object.
void copyTags(IVlsAudioDecoder& source, IVlsAudioEncoder& destination);

} // namespace vlsconv
