#pragma once

// The three decoder classes of vlsdec, each an AudioDecoder over its file format.

#include "audiodecoder.h"
#include "mp3stream.h"
#include "mpg123binding.h"
#include "vlsshell/classdescription.h"
#include "vorbisfilebinding.h"
#include "vorbisstream.h"
#include "wavestream.h"

#include <memory>
#include <string>

namespace vlsdec {

// PCM RIFF/WAVE files, 8 or 16 bits, 1 or 2 channels.
struct WaveKind {
    static const vlsshell::ControlDescription& description();
    static void bind() { }
    static std::unique_ptr<PcmStream> open(const std::string& path) { return WaveStream::open(path); }
};

// MP3 files, and RIFF/WAVE files whose "data" chunk holds MPEG Layer-3 (format tag 85); creation
// binds libmpg123.
struct Mp3Kind {
    static const vlsshell::ControlDescription& description();
    static void bind() { vlsmp3::Mpg123Binding::bound(); }
    static std::unique_ptr<PcmStream> open(const std::string& path) { return Mp3Stream::open(path); }
};

// Ogg Vorbis files through libvorbisfile, which creation binds.
struct VorbisKind {
    static const vlsshell::ControlDescription& description();
    static void bind() { VorbisfileBinding::bound(); }
    static std::unique_ptr<PcmStream> open(const std::string& path)
    {
        return VorbisStream::open(VorbisfileBinding::bound(), path);
    }
};

using VlsWaveDecoder = AudioDecoder<WaveKind>;
using VlsMP3Decoder = AudioDecoder<Mp3Kind>;
using VlsVorbisDecoder = AudioDecoder<VorbisKind>;

const vlsshell::ClassDescription& waveDecoderClass();
const vlsshell::ClassDescription& mp3DecoderClass();
const vlsshell::ClassDescription& vorbisDecoderClass();

} // namespace vlsdec
