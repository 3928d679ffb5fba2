#include "dectestsupport.h"
#include "vlscom/dispatchcall.h"
#include "vlscom/persist.h"
#include "vlscom/registry.h"

using namespace dectest;
using namespace vlscom;

namespace {

struct DecoderClass {
    CLSID clsid;
    std::string clsidText;
    std::string progId;
    std::string description;
};

const DecoderClass decoderClasses[] = {
    { CLSID_VlsMP3Decoder, "{3EC32CF4-BEC1-4030-81DC-034525429C14}", "Aurikit.MP3Decoder",
        "VlsMP3Decoder Class" },
    { CLSID_VlsVorbisDecoder, "{A08B7515-4307-4780-A35A-B954DAED4225}", "Aurikit.VorbisDecoder",
        "VlsVorbisDecoder Class" },
    { CLSID_VlsWaveDecoder, "{2AD4671A-F007-412F-AC48-5E1103F74C98}", "Aurikit.WaveDecoder",
        "VlsWaveDecoder Class" },
};

const std::string libid = "{5C1D7E0A-93B4-4F1E-9A27-6D3E8B41C2F5}";

std::string progIdKeys(const DecoderClass& c)
{
    const std::string key = "HKEY_CLASSES_ROOT\\" + c.progId;
    return "\n[" + key + "]\n@=\"" + c.description + "\"\n" + "\n[" + key + "\\CLSID]\n@=\"" + c.clsidText
        + "\"\n" + "\n[" + key + "\\CurVer]\n@=\"" + c.progId + ".1\"\n" + "\n[" + key + ".1]\n@=\""
        + c.description + "\"\n" + "\n[" + key + ".1\\CLSID]\n@=\"" + c.clsidText + "\"\n";
}

std::string classKey(const DecoderClass& c, const std::string& module)
{
    const std::string key = "HKEY_CLASSES_ROOT\\CLSID\\" + c.clsidText;
    return "\n[" + key + "]\n@=\"" + c.description + "\"\n" + "\n[" + key + "\\InprocServer32]\n@=\"" + module
        + "\"\n\"ThreadingModel\"=\"Apartment\"\n" + "\n[" + key + "\\ProgID]\n@=\"" + c.progId + ".1\"\n"
        + "\n[" + key + "\\Programmable]\n" + "\n[" + key + "\\TypeLib]\n@=\"" + libid + "\"\n" + "\n[" + key
        + "\\Version]\n@=\"1.0\"\n" + "\n[" + key + "\\VersionIndependentProgID]\n@=\"" + c.progId + "\"\n";
}

} // namespace

// Registration writes the ProgIDs, class keys and type library of the three decoder classes; each
// is created by ProgID as its own class; unregistration removes them and leaves other entries.
TEST(DecoderServer, RegistersCreatesAndUnregistersTheThreeClasses)
{
    TemporaryRegistry registry;
    const std::string other
        = "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-"
          "0000-000000000001}]\n@=\"Other\"\n";
    registry.write(other);
    ASSERT_EQ(decoderServer().registerServer(), S_OK);
    const std::string module = canonical(VLS_DEC_SERVER);
    std::string expected = "REGEDIT4\n";
    for (const DecoderClass& c : decoderClasses)
        expected += progIdKeys(c);
    expected += "\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-"
                "000000000001}]\n"
                "@=\"Other\"\n";
    for (const DecoderClass& c : { decoderClasses[2], decoderClasses[0], decoderClasses[1] })
        expected += classKey(c, module);
    const std::string folder = std::filesystem::path(module).parent_path().string();
    const std::string lib = "HKEY_CLASSES_ROOT\\TypeLib\\" + libid;
    expected += "\n[HKEY_CLASSES_ROOT\\TypeLib]\n\n[" + lib + "]\n\n[" + lib
        + "\\1.0]\n@=\"Audio Decoders 1.0\"\n\n[" + lib + "\\1.0\\0]\n\n[" + lib + "\\1.0\\0\\linux]\n@=\""
        + module + "\"\n\n[" + lib + "\\1.0\\FLAGS]\n@=\"0\"\n\n[" + lib + "\\1.0\\HELPDIR]\n@=\"" + folder
        + "\"\n";
    EXPECT_EQ(registry.text(), expected);

    for (const DecoderClass& c : decoderClasses) {
        SCOPED_TRACE(c.progId);
        ComPtr<IVlsAudioDecoder> decoder;
        ASSERT_EQ(createInstance(toUtf16(c.progId), decoder), S_OK) << errorText();
        ComPtr<IPersistStreamInit> persist;
        ASSERT_EQ(decoder->QueryInterface(IPersistStreamInit::iid, persist.putVoid()), S_OK);
        CLSID clsid {};
        EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, c.clsid);
        ASSERT_EQ(createInstance(toUtf16(c.progId + ".1"), decoder), S_OK);
        EXPECT_EQ(referenceCount(decoder.get()), 1U);
    }

    ASSERT_EQ(decoderServer().unregisterServer(), S_OK);
    EXPECT_EQ(registry.text(), other + "\n[HKEY_CLASSES_ROOT\\TypeLib]\n");
}

// No server provides VlsWMADecoder: its creation fails, as the converter expects.
TEST(DecoderServer, WmaDecoderIsNotAvailable)
{
    TemporaryRegistry registry;
    ASSERT_EQ(decoderServer().registerServer(), S_OK);
    ComPtr<IVlsAudioDecoder> decoder;
    EXPECT_EQ(createInstance(CLSID_VlsWMADecoder, decoder), REGDB_E_CLASSNOTREG);
    void* factory = nullptr;
    EXPECT_EQ(decoderServer().getClassObject(CLSID_VlsWMADecoder, IUnknown::iid, &factory),
        CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
}

// Every member is reachable through IDispatch by name and DISPID; failures come back with the
// class's error information.
TEST(DecoderServer, InvokeReachesTheMembers)
{
    TemporaryRegistry registry;
    TempFolder folder;
    ASSERT_EQ(decoderServer().registerServer(), S_OK);
    ComPtr<IVlsAudioDecoder> decoder;
    ASSERT_EQ(createInstance(CLSID_VlsWaveDecoder, decoder), S_OK);
    IDispatch* dispatch = decoder.get();
    const std::pair<const char16_t*, DISPID> names[]
        = { { u"Open", DISPID_Decoder_Open }, { u"OpenHandle", DISPID_Decoder_OpenHandle },
              { u"Position", DISPID_Decoder_Position }, { u"Format", DISPID_Decoder_Format },
              { u"Bitrate", DISPID_Decoder_Bitrate }, { u"Duration", DISPID_Decoder_Duration },
              { u"TagData", DISPID_Decoder_TagData }, { u"Filename", DISPID_Decoder_Filename },
              { u"Seek", DISPID_Decoder_Seek }, { u"Read", DISPID_Decoder_Read },
              { u"Close", DISPID_Decoder_Close }, { u"SetOutputFormat", DISPID_Decoder_SetOutputFormat },
              { u"SetOutputFormatWFX", DISPID_Decoder_SetOutputFormatWFX } };
    for (const auto& [name, id] : names) {
        std::u16string text(name);
        LPOLESTR list[] = { text.data() };
        DISPID found = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, list, 1, 0, &found), S_OK) << toUtf8(text);
        EXPECT_EQ(found, id) << toUtf8(text);
    }
    Variant value;
    EXPECT_EQ(getProperty(dispatch, DISPID_Decoder_Duration, value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), "Aurikit.WaveDecoder.1 | Error accessing property: file is not open.");
    const std::string path = makeWave(folder, "tone.wav", "-r 8000 -c 1 -b 16", 3);
    ASSERT_EQ(
        invokeMethod(dispatch, DISPID_Decoder_Open, { Variant::fromString(std::string_view(path)) }), S_OK);
    ASSERT_EQ(getProperty(dispatch, DISPID_Decoder_Duration, value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 3);
    ASSERT_EQ(getProperty(dispatch, DISPID_Decoder_Bitrate, value), S_OK);
    EXPECT_EQ(value.lVal, 128000);
    EXPECT_EQ(invokeMethod(dispatch, DISPID_Decoder_Close), S_OK);
}
