#include "controlfixture.h"
#include "vlscom/regedit.h"
#include "vlscom/registry.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <set>

using namespace vlscom;

namespace {

std::string classEntries(const std::string& module)
{
    const std::string control = "HKEY_CLASSES_ROOT\\CLSID\\{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}";
    const std::string solo = "HKEY_CLASSES_ROOT\\CLSID\\{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D52}";
    return "\n[HKEY_CLASSES_ROOT\\CLSID]\n"
           "\n["
        + control + "]\n@=\"VlsTestControl Class\"\n" + "\n[" + control + "\\Control]\n" + "\n[" + control
        + "\\InprocServer32]\n@=\"" + module + "\"\n\"ThreadingModel\"=\"Apartment\"\n" + "\n[" + control
        + "\\Insertable]\n" + "\n[" + control + "\\MiscStatus]\n@=\"0\"\n" + "\n[" + control
        + "\\MiscStatus\\1]\n@=\"132497\"\n" + "\n[" + control + "\\ProgID]\n@=\"Vls.TestControl.1\"\n"
        + "\n[" + control + "\\Programmable]\n" + "\n[" + control + "\\ToolboxBitmap32]\n@=\"" + module
        + ", 101\"\n" + "\n[" + control + "\\TypeLib]\n@=\"{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D50}\"\n" + "\n["
        + control + "\\Version]\n@=\"1.0\"\n" + "\n[" + control
        + "\\VersionIndependentProgID]\n@=\"Vls.TestControl\"\n" + "\n[" + solo
        + "]\n@=\"VlsTestSolo Class\"\n" + "\n[" + solo + "\\InprocServer32]\n@=\"" + module
        + "\"\n\"ThreadingModel\"=\"Apartment\"\n" + "\n[" + solo + "\\ProgID]\n@=\"Vls.TestSolo.1\"\n";
}

std::string interfaceEntry(const char* iid, const char* name)
{
    const std::string key = std::string("HKEY_CLASSES_ROOT\\Interface\\") + iid;
    return "\n[" + key + "]\n@=\"" + name + "\"\n\n[" + key
        + "\\TypeLib]\n@=\"{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D50}\"\n\"Version\"=\"1.0\"\n";
}

std::string registeredText(const std::string& module, const std::string& folder)
{
    const std::string typeLib = "HKEY_CLASSES_ROOT\\TypeLib\\{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D50}";
    return classEntries(module) + "\n[HKEY_CLASSES_ROOT\\Interface]\n"
        + interfaceEntry("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D60}", "IVlsTestControl")
        + interfaceEntry("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D61}", "IVlsTestTag")
        + interfaceEntry("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D62}", "_IVlsTestControlEvents")
        + interfaceEntry("{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D63}", "IVlsTestSolo")
        + "\n[HKEY_CLASSES_ROOT\\TypeLib]\n" + "\n[" + typeLib + "]\n" + "\n[" + typeLib
        + "\\1.0]\n@=\"Shell Test Controls 1.0\"\n" + "\n[" + typeLib + "\\1.0\\0]\n" + "\n[" + typeLib
        + "\\1.0\\0\\linux]\n@=\"" + module + "\"\n" + "\n[" + typeLib + "\\1.0\\FLAGS]\n@=\"0\"\n" + "\n["
        + typeLib + "\\1.0\\HELPDIR]\n@=\"" + folder + "\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestControl]\n@=\"VlsTestControl Class\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestControl\\CLSID]\n@=\"{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestControl\\CurVer]\n@=\"Vls.TestControl.1\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestControl.1]\n@=\"VlsTestControl Class\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestControl.1\\CLSID]\n@=\"{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestControl.1\\Insertable]\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestSolo.1]\n@=\"VlsTestSolo Class\"\n"
        + "\n[HKEY_CLASSES_ROOT\\Vls.TestSolo.1\\CLSID]\n@=\"{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D52}\"\n";
}

std::set<std::string> exportedSymbols(const char* library)
{
    std::set<std::string> names;
    const std::string command = std::string(VLS_NM) + " -D --defined-only " + library;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const auto end = text.find_last_not_of("\n");
        const auto start = text.rfind(' ', end);
        names.insert(text.substr(start + 1, end - start));
    }
    ::pclose(pipe);
    return names;
}

} // namespace

class Server : public ::testing::Test {
protected:
    static ServerLibrary& server()
    {
        static ServerLibrary library(VLS_TEST_SERVER);
        return library;
    }
    TemporaryRegistry m_registry;
    const std::string m_module = canonical(VLS_TEST_SERVER);
    const std::string m_folder = std::filesystem::path(m_module).parent_path().string();
};

TEST_F(Server, RegistrationWritesExactlyTheScriptedEntries)
{
    ASSERT_EQ(server().registerServer(), S_OK);
    EXPECT_EQ(m_registry.text(), "REGEDIT4\n" + registeredText(m_module, m_folder));
    // Registering again changes nothing.
    ASSERT_EQ(server().registerServer(), S_OK);
    EXPECT_EQ(m_registry.text(), "REGEDIT4\n" + registeredText(m_module, m_folder));
}

TEST_F(Server, UnregistrationRemovesItsEntriesAndLeavesForeignKeys)
{
    // Foreign entries under each shared key.
    const std::string foreign
        = "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\CLSID\\{Other}]\n"
          "@=\"Other Class\"\n\n[HKEY_CLASSES_ROOT\\Interface]\n\n"
          "[HKEY_CLASSES_ROOT\\Interface\\{OtherInterface}]\n@=\"IOther\"\n\n"
          "[HKEY_CLASSES_ROOT\\Other.Prog]\n@=\"Other Class\"\n\n[HKEY_CLASSES_ROOT\\TypeLib]\n\n"
          "[HKEY_CLASSES_ROOT\\TypeLib\\{OtherLibrary}]\n";
    m_registry.write(foreign);
    ASSERT_EQ(server().registerServer(), S_OK);
    EXPECT_NE(m_registry.text(), foreign);
    ASSERT_EQ(server().unregisterServer(), S_OK);
    EXPECT_EQ(m_registry.text(), foreign);
    ASSERT_EQ(server().unregisterServer(), S_OK);
    EXPECT_EQ(m_registry.text(), foreign);
}

TEST_F(Server, ASecondRegistrationReplacesTheClassKeyWhole)
{
    ASSERT_EQ(server().registerServer(), S_OK);
    ASSERT_EQ(updateRegistry([](RegistryKey& root) {
        RegistryKey& key = root.create(splitKeyPath("CLSID\\{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}\\Stale"));
        key.setValue("", "left by an older version");
        root.find(splitKeyPath("CLSID\\{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}\\InprocServer32"))
            ->setValue("", "/old/place.so");
        return S_OK;
    }),
        S_OK);
    ASSERT_EQ(server().registerServer(), S_OK);
    EXPECT_EQ(m_registry.text(), "REGEDIT4\n" + registeredText(m_module, m_folder));
}

TEST_F(Server, CanUnloadOnlyWithoutLiveObjectsOrLocks)
{
    ASSERT_EQ(server().canUnloadNow(), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(server().getClassObject(CLSID_VlsTestControl, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(server().canUnloadNow(), S_FALSE);
    ComPtr<IVlsTestControl> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IVlsTestControl::iid, control.putVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(1), S_OK);
    factory.reset();
    EXPECT_EQ(server().canUnloadNow(), S_FALSE);
    control.reset();
    EXPECT_EQ(server().canUnloadNow(), S_FALSE);
    ASSERT_EQ(server().getClassObject(CLSID_VlsTestSolo, IID_IClassFactory, factory.putVoid()), S_OK);
    ASSERT_EQ(factory->LockServer(0), S_OK);
    factory.reset();
    EXPECT_EQ(server().canUnloadNow(), S_OK);
}

TEST_F(Server, ClassObjectsExistOnlyForTheServersClasses)
{
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(server().getClassObject(
                  makeGuid("{00000000-0000-0000-0000-000000000001}"), IID_IClassFactory, &object),
        CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(server().getClassObject(CLSID_VlsTestControl, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(server().getClassObject(CLSID_VlsTestControl, IID_IClassFactory, nullptr), E_POINTER);
    EXPECT_EQ(server().canUnloadNow(), S_OK);
}

TEST(ServerExports, EveryServerExportsExactlyTheFourEntryPoints)
{
    const std::set<std::string> four { "DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
        "DllUnregisterServer" };
    EXPECT_EQ(exportedSymbols(VLS_TEST_SERVER), four);
    EXPECT_EQ(exportedSymbols(VLS_MP3_SERVER), four);
    EXPECT_EQ(exportedSymbols(VLS_CONV_SERVER), four);
}
