#include "decoderkinds.h"
#include "vlsconv.h"
#include "vlsdec.h"

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

const vlsshell::ControlDescription& Mp3Kind::description()
{
    static const vlsshell::ControlDescription d { &mp3DecoderClass(), &eventsDescription(),
        "VlsMP3DecoderHelper", {}, vlsshell::Aggregation::Allowed };
    return d;
}

const vlsshell::ControlDescription& VorbisKind::description()
{
    static const vlsshell::ControlDescription d { &vorbisDecoderClass(), &eventsDescription(),
        "VlsVorbisDecoderHelper", {}, vlsshell::Aggregation::Allowed };
    return d;
}

} // namespace vlsdec
