// The fake decoder and encoder server: scripted classes for the converter's tests, registered under
// their own identities and under the decoder identities that decoder selection creates (all but
// the WMA decoder's).

#include "fakedecoder.h"
#include "fakeencoder.h"
#include "vlscom/guid.h"
#include "vlsconv.h"
#include "vlsdec.h"
#include "vlsshell/module.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace vlsshell;

// The converter calls the fakes through their vtables; no member needs to be reachable by DISPID.
const InterfaceDescription& InterfaceInfo<IVlsAudioDecoder>::description()
{
    static const InterfaceDescription d { IVlsAudioDecoder::iid, "IVlsAudioDecoder", "", InterfaceKind::Dual,
        {} };
    return d;
}

const InterfaceDescription& InterfaceInfo<IVlsAudioEncoder>::description()
{
    static const InterfaceDescription d { IVlsAudioEncoder::iid, "IVlsAudioEncoder", "", InterfaceKind::Dual,
        {} };
    return d;
}

const InterfaceDescription& InterfaceInfo<IAudioTag>::description()
{
    static const InterfaceDescription d { IAudioTag::iid, "IAudioTag", "", InterfaceKind::Dual, {} };
    return d;
}

const InterfaceDescription& InterfaceInfo<IFakeAudio>::description()
{
    static const InterfaceDescription d { IFakeAudio::iid, "IFakeAudio", "", InterfaceKind::Dual, {} };
    return d;
}

namespace {

// The descriptions are made on first use, possibly from a converter's worker.
std::mutex descriptionsMutex;

const InterfaceDescription& eventsUnder(REFIID iid)
{
    static std::vector<std::unique_ptr<InterfaceDescription>> made;
    for (const auto& description : made) {
        if (description->iid == iid)
            return *description;
    }
    made.push_back(std::make_unique<InterfaceDescription>(
        InterfaceDescription { iid, "_FakeEvents", "", InterfaceKind::DispInterface,
            { event(1, "OnError", "", { { "ErrorMessage", VT_BSTR, PARAMFLAG_FIN } }) } }));
    return *made.back();
}

// The entries CoCreateInstance needs: the class key and its server.
const char* registrationScript(REFCLSID clsid, const char* name)
{
    static std::vector<std::unique_ptr<std::string>> scripts;
    const std::string key = "HKEY_CLASSES_ROOT\\CLSID\\" + vlscom::formatGuid(clsid);
    scripts.push_back(std::make_unique<std::string>("REGEDIT4\n\n[-" + key + "]\n\n[" + key + "]\n@=\"" + name
        + "\"\n\n[" + key + "\\InprocServer32]\n@=\"%MODULE%\"\n\"ThreadingModel\"=\"Apartment\"\n"));
    return scripts.back()->c_str();
}

template <class Fake> const ClassDescription& classOf(REFCLSID clsid, const char* name)
{
    static const ClassDescription c { clsid, name, registrationScript(clsid, name), &Fake::create };
    return c;
}

const ControlDescription& controlOf(const ClassDescription& c, REFIID events)
{
    static std::vector<std::unique_ptr<ControlDescription>> made;
    const std::lock_guard lock(descriptionsMutex);
    for (const auto& control : made) {
        if (control->classDescription == &c)
            return *control;
    }
    made.push_back(std::make_unique<ControlDescription>(
        ControlDescription { &c, &eventsUnder(events), "FakeAudioHelper", {}, Aggregation::Allowed }));
    return *made.back();
}

const ClassDescription& decoderClass(DecoderFlavour flavour)
{
    switch (flavour) {
    case DecoderFlavour::Published:
        return classOf<FakeDecoder<DecoderFlavour::Published>>(CLSID_FakeDecoder, "FakeDecoder");
    case DecoderFlavour::Mute:
        return classOf<FakeDecoder<DecoderFlavour::Mute>>(CLSID_FakeMuteDecoder, "FakeMuteDecoder");
    case DecoderFlavour::Wave:
        return classOf<FakeDecoder<DecoderFlavour::Wave>>(CLSID_VlsWaveDecoder, "VlsWaveDecoder");
    case DecoderFlavour::Mpeg:
        return classOf<FakeDecoder<DecoderFlavour::Mpeg>>(CLSID_VlsMP3Decoder, "VlsMP3Decoder");
    case DecoderFlavour::Vorbis:
        break;
    }
    return classOf<FakeDecoder<DecoderFlavour::Vorbis>>(CLSID_VlsVorbisDecoder, "VlsVorbisDecoder");
}

const ClassDescription& encoderClass(EncoderFlavour flavour)
{
    if (flavour == EncoderFlavour::Published)
        return classOf<FakeEncoder<EncoderFlavour::Published>>(CLSID_FakeEncoder, "FakeEncoder");
    return classOf<FakeEncoder<EncoderFlavour::Mute>>(CLSID_FakeMuteEncoder, "FakeMuteEncoder");
}

const ServerDescription& describeServer()
{
    static const TypeLibDescription typeLib { LIBID_FakeAudioLib, "FakeAudioLib", "Fake audio components", 1,
        0, {} };
    static const ServerDescription server { &typeLib,
        { &decoderClass(DecoderFlavour::Published), &decoderClass(DecoderFlavour::Mute),
            &decoderClass(DecoderFlavour::Wave), &decoderClass(DecoderFlavour::Mpeg),
            &decoderClass(DecoderFlavour::Vorbis), &encoderClass(EncoderFlavour::Published),
            &encoderClass(EncoderFlavour::Mute) } };
    return server;
}

} // namespace

const char* fakeDecoderName(DecoderFlavour flavour)
{
    return decoderClass(flavour).versionedProgId;
}

const ControlDescription& fakeDecoderDescription(DecoderFlavour flavour)
{
    const bool mute = flavour == DecoderFlavour::Mute;
    return controlOf(
        decoderClass(flavour), mute ? DIID__IVlsAudioDecoderEvents : DIID_VlsConv_IVlsAudioDecoderEvents);
}

const ControlDescription& fakeEncoderDescription(EncoderFlavour flavour)
{
    const bool mute = flavour == EncoderFlavour::Mute;
    return controlOf(
        encoderClass(flavour), mute ? DIID__IVlsAudioEncoderEvents : DIID_VlsConv_IVlsAudioEncoderEvents);
}

VLSSHELL_SERVER_EXPORTS(describeServer)
