#include "testsupport.h"
#include "vlscom/activation.h"
#include "vlscom/regedit.h"
#include "vlscom/registry.h"
#include "vlsconv.h"
#include "vlsmp3x1.h"

#include <gtest/gtest.h>

using namespace vlscom;

namespace {

// The class entries of one control as the servers' scripts write them.
std::string classKey(const std::string& clsid, const std::string& description, const std::string& progId,
    const std::string& module, int bitmap, const std::string& libid)
{
    const std::string key = "HKEY_CLASSES_ROOT\\CLSID\\" + clsid;
    return "\n[" + key + "]\n@=\"" + description + "\"\n" + "\n[" + key + "\\Control]\n" + "\n[" + key
        + "\\InprocServer32]\n@=\"" + module + "\"\n\"ThreadingModel\"=\"Apartment\"\n" + "\n[" + key
        + "\\Insertable]\n" + "\n[" + key + "\\MiscStatus]\n@=\"0\"\n" + "\n[" + key
        + "\\MiscStatus\\1]\n@=\"132497\"\n" + "\n[" + key + "\\ProgID]\n@=\"" + progId + ".1\"\n" + "\n["
        + key + "\\Programmable]\n" + "\n[" + key + "\\ToolboxBitmap32]\n@=\"" + module + ", "
        + std::to_string(bitmap) + "\"\n" + "\n[" + key + "\\TypeLib]\n@=\"" + libid + "\"\n" + "\n[" + key
        + "\\Version]\n@=\"1.0\"\n" + "\n[" + key + "\\VersionIndependentProgID]\n@=\"" + progId + "\"\n";
}

std::string progIdKeys(
    const std::string& progId, const std::string& description, const std::string& clsid, bool insertable)
{
    const std::string key = "HKEY_CLASSES_ROOT\\" + progId;
    return "\n[" + key + "]\n@=\"" + description + "\"\n" + "\n[" + key + "\\CLSID]\n@=\"" + clsid + "\"\n"
        + "\n[" + key + "\\CurVer]\n@=\"" + progId + ".1\"\n" + "\n[" + key + ".1]\n@=\"" + description
        + "\"\n" + "\n[" + key + ".1\\CLSID]\n@=\"" + clsid + "\"\n"
        + (insertable ? "\n[" + key + ".1\\Insertable]\n" : "");
}

std::string typeLibKey(const std::string& libid, const std::string& help, const std::string& module)
{
    const std::string key = "HKEY_CLASSES_ROOT\\TypeLib\\" + libid;
    const std::string folder = std::filesystem::path(module).parent_path().string();
    return "\n[" + key + "]\n" + "\n[" + key + "\\1.0]\n@=\"" + help + "\"\n" + "\n[" + key + "\\1.0\\0]\n"
        + "\n[" + key + "\\1.0\\0\\linux]\n@=\"" + module + "\"\n" + "\n[" + key + "\\1.0\\FLAGS]\n@=\"0\"\n"
        + "\n[" + key + "\\1.0\\HELPDIR]\n@=\"" + folder + "\"\n";
}

// The registry without interface entries, which the control issues add to.
std::string withoutInterfaces()
{
    RegistryKey root;
    EXPECT_EQ(loadRegistry(root), S_OK);
    root.remove(splitKeyPath("Interface"));
    return formatRegEdit(root);
}

} // namespace

TEST(StagedServers, RegisterTheIdentitiesOfBothServersAndRemoveThemAgain)
{
    TemporaryRegistry registry;
    ServerLibrary mp3(VLS_MP3_SERVER);
    ServerLibrary conv(VLS_CONV_SERVER);
    ASSERT_EQ(mp3.registerServer(), S_OK);
    ASSERT_EQ(conv.registerServer(), S_OK);
    const std::string mp3Module = canonical(VLS_MP3_SERVER);
    const std::string convModule = canonical(VLS_CONV_SERVER);
    const std::string mp3Lib = "{830A4C67-4C87-481F-B670-66A07C83CBF5}";
    const std::string convLib = "{0A68293B-E8B1-4857-8426-063ADA834D7D}";
    const std::string encoder = "{A579141F-384D-4EC1-98C6-F2C705B137DC}";
    const std::string decoder = "{BEAB8403-F13B-4396-A147-87EE7754CC97}";
    const std::string converter = "{8A96FA28-7162-4544-8D60-2757A2338732}";
    EXPECT_EQ(withoutInterfaces(),
        "REGEDIT4\n" + progIdKeys("Aurikit.AudioConverter", "VlsAudioConverter Class", converter, true)
            + progIdKeys("Aurikit.MP3Decoderx1", "VlsMP3Decoder Class", decoder, true)
            + progIdKeys("Aurikit.MP3Encoderx1", "MP3Encoder Class", encoder, false)
            + "\n[HKEY_CLASSES_ROOT\\CLSID]\n"
            + classKey(
                converter, "VlsAudioConverter Class", "Aurikit.AudioConverter", convModule, 101, convLib)
            + classKey(encoder, "MP3Encoder Class", "Aurikit.MP3Encoderx1", mp3Module, 101, mp3Lib)
            + classKey(decoder, "VlsMP3Decoder Class", "Aurikit.MP3Decoderx1", mp3Module, 104, mp3Lib)
            + "\n[HKEY_CLASSES_ROOT\\TypeLib]\n" + typeLibKey(convLib, "Audio Converter Control", convModule)
            + typeLibKey(mp3Lib, "MP3 Encoder & Decoder Controls 1.0 (Customized)", mp3Module));

    CLSID clsid {};
    ASSERT_EQ(CLSIDFromProgID(VlsMP3Decoderx1_ProgID, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsMP3Decoderx1);
    ASSERT_EQ(CLSIDFromProgID(VlsAudioConverter_VersionedProgID, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsAudioConverter);
    std::string current;
    ASSERT_EQ(readRegistryValue("Aurikit.MP3Encoderx1\\CurVer", "", current), S_OK);
    EXPECT_EQ(current, "Aurikit.MP3Encoderx1.1");

    ASSERT_EQ(mp3.unregisterServer(), S_OK);
    ASSERT_EQ(conv.unregisterServer(), S_OK);
    EXPECT_EQ(registry.text(), "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\TypeLib]\n");
}
