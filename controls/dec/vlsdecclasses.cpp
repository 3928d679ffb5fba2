#include "decoderkinds.h"
#include "mp3stream.h"
#include "mpg123binding.h"
#include "vlsconv.h"
#include "vlsdec.h"
#include "vorbisfilebinding.h"
#include "vorbisstream.h"
#include "wavestream.h"

// The server's registration scripts (embedded from the .reg files).
extern const char vlsdecWaveScript[];
extern const char vlsdecMp3Script[];
extern const char vlsdecVorbisScript[];

namespace vlsdec {

namespace {

// The decoders' events, under the identity the audio converter subscribes to.
const vlsshell::InterfaceDescription& eventsDescription()
{
    using vlsshell::event;
    using vlsshell::PARAMFLAG_FIN;
    static const vlsshell::InterfaceDescription d { DIID_VlsConv_IVlsAudioDecoderEvents,
        "_IVlsAudioDecoderEvents", "Wave Decoder Control Events", vlsshell::InterfaceKind::DispInterface,
        {
            event(DISPID_Decoder_OnError, "OnError", "", { { "ErrorMessage", VT_BSTR, PARAMFLAG_FIN } }),
        } };
    return d;
}

} // namespace

const vlsshell::ClassDescription& waveDecoderClass()
{
    static const vlsshell::ClassDescription c { CLSID_VlsWaveDecoder, "Aurikit.WaveDecoder.1",
        vlsdecWaveScript, &VlsWaveDecoder::create };
    return c;
}

const vlsshell::ClassDescription& mp3DecoderClass()
{
    static const vlsshell::ClassDescription c { CLSID_VlsMP3Decoder, "Aurikit.MP3Decoder.1", vlsdecMp3Script,
        &VlsMP3Decoder::create };
    return c;
}

const vlsshell::ClassDescription& vorbisDecoderClass()
{
    static const vlsshell::ClassDescription c { CLSID_VlsVorbisDecoder, "Aurikit.VorbisDecoder.1",
        vlsdecVorbisScript, &VlsVorbisDecoder::create };
    return c;
}

const vlsshell::ControlDescription& WaveKind::description()
{
    static const vlsshell::ControlDescription d { &waveDecoderClass(), &eventsDescription(),
        "VlsWaveDecoderHelper", {}, vlsshell::Aggregation::Allowed };
    return d;
}

std::unique_ptr<PcmStream> WaveKind::open(const std::string& path)
{
    return WaveStream::open(path);
}

const vlsshell::ControlDescription& Mp3Kind::description()
{
    static const vlsshell::ControlDescription d { &mp3DecoderClass(), &eventsDescription(),
        "VlsMP3DecoderHelper", {}, vlsshell::Aggregation::Allowed };
    return d;
}

void Mp3Kind::bind()
{
    vlsmp3::Mpg123Binding::bound();
}

std::unique_ptr<PcmStream> Mp3Kind::open(const std::string& path)
{
    return Mp3Stream::open(path);
}

const vlsshell::ControlDescription& VorbisKind::description()
{
    static const vlsshell::ControlDescription d { &vorbisDecoderClass(), &eventsDescription(),
        "VlsVorbisDecoderHelper", {}, vlsshell::Aggregation::Allowed };
    return d;
}

void VorbisKind::bind()
{
    VorbisfileBinding::bound();
}

std::unique_ptr<PcmStream> VorbisKind::open(const std::string& path)
{
    return VorbisStream::open(VorbisfileBinding::bound(), path);
}

} // namespace vlsdec
