#pragma once

// The three decoder classes of vlsdec, each an AudioDecoder over its file format.

#include "audiodecoder.h"
#include "vlsshell/classdescription.h"

#include <memory>
#include <string>

namespace vlsdec {

// PCM RIFF/WAVE files, 8 or 16 bits, 1 or 2 channels.
struct WaveKind {
    static const vlsshell::ControlDescription& description();
    static void bind() { }
    static std::unique_ptr<PcmStream> open(const std::string& path);
};

// MP3 files, and RIFF/WAVE files whose "data" chunk holds MPEG Layer-3 (format tag 85); creation
// binds libmpg123.
struct Mp3Kind {
    static const vlsshell::ControlDescription& description();
    static void bind();
    static std::unique_ptr<PcmStream> open(const std::string& path);
};

// Ogg Vorbis files through libvorbisfile, which creation binds.
struct VorbisKind {
    static const vlsshell::ControlDescription& description();
    static void bind();
    static std::unique_ptr<PcmStream> open(const std::string& path);
};

using VlsWaveDecoder = AudioDecoder<WaveKind>;
using VlsMP3Decoder = AudioDecoder<Mp3Kind>;
using VlsVorbisDecoder = AudioDecoder<VorbisKind>;

const vlsshell::ClassDescription& waveDecoderClass();
const vlsshell::ClassDescription& mp3DecoderClass();
const vlsshell::ClassDescription& vorbisDecoderClass();

} // namespace vlsdec
