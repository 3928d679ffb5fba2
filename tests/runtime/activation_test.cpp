#include "controlfixture.h"
#include "vlscom/errorinfo.h"
#include "vlscom/regedit.h"
#include "vlscom/registry.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vlscom;

namespace {

const CLSID stray = makeGuid("{00000000-0000-0000-0000-0000000000C1}");

// Registers `stray` with the given server path.
void registerStray(const std::string& path)
{
    ASSERT_EQ(updateRegistry([&](RegistryKey& root) {
        root.create(splitKeyPath("CLSID\\" + formatGuid(stray) + "\\InprocServer32")).setValue("", path);
        return S_OK;
    }),
        S_OK);
}

std::string createStray(HRESULT expected)
{
    takeErrorInfo();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(stray, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object), expected);
    EXPECT_EQ(object, nullptr);
    const auto error = takeErrorInfo();
    return error ? toUtf8(error->description) : "none";
}

} // namespace

using Activation = ControlFixture;

TEST_F(Activation, ProgIdsAndClassIdentitiesMapBothWays)
{
    CLSID clsid {};
    ASSERT_EQ(CLSIDFromProgID(u"vls.testcontrol", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsTestControl);
    ASSERT_EQ(CLSIDFromProgID(u"Vls.TestSolo.1", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_VlsTestSolo);
    LPOLESTR progId = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_VlsTestControl, &progId), S_OK);
    EXPECT_EQ(std::u16string_view(progId), u"Vls.TestControl.1");
    CoTaskMemFree(progId);

    EXPECT_EQ(CLSIDFromProgID(u"No.Such.Class", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, GUID_NULL);
    EXPECT_EQ(CLSIDFromProgID(u"CLSID\\{5B0D6C1E-2F1A-4E9B-9C3D-7A1E2B3C4D51}", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(u"", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(ProgIDFromCLSID(stray, &progId), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(progId, nullptr);
    EXPECT_EQ(CLSIDFromProgID(u"Vls.TestControl", nullptr), E_POINTER);
}

TEST_F(Activation, UnregisteredClassesMissingFilesAndMissingExportsFailCleanly)
{
    EXPECT_EQ(createStray(REGDB_E_CLASSNOTREG), "none");
    ComPtr<IVlsTestControl> control;
    EXPECT_EQ(createInstance(u"Not.Registered", control), CO_E_CLASSSTRING);

    const std::string missing = m_registry.folder() + "/missing.so";
    registerStray(missing);
    EXPECT_EQ(createStray(HRESULT_FROM_WIN32(ENOENT)),
        "cannot load the server " + missing + ": No such file or directory");

    const std::string text = m_registry.folder() + "/text.so";
    writeFile(text, "not a library");
    registerStray(text);
    EXPECT_EQ(createStray(CO_E_ERRORINDLL).rfind(text, 0), 0U);

    const std::string runtime = canonical(VLS_VLSCOM_LIBRARY);
    registerStray(runtime);
    EXPECT_EQ(createStray(CO_E_ERRORINDLL), "the server " + runtime + " does not export DllGetClassObject");

    registerStray("relative/server.so");
    EXPECT_EQ(createStray(CO_E_DLLNOTFOUND), "the registered server path relative/server.so is not absolute");

    // A server that does not serve the class answers with its own status.
    registerStray(canonical(VLS_TEST_SERVER));
    EXPECT_EQ(createStray(CLASS_E_CLASSNOTAVAILABLE), "none");
}

// The machine's registry is read after the user's: there a server path may be relative to its
// folder, and a key of the user's hides the machine's key of the same path.
TEST_F(Activation, TheMachineRegistryComesAfterTheUsersAndMayHoldRelativePaths)
{
    const std::filesystem::path machine = m_registry.machinePath();
    std::filesystem::create_directories(machine.parent_path());
    const std::string relative
        = std::filesystem::relative(canonical(VLS_TEST_SERVER), machine.parent_path()).string();
    ASSERT_NE(relative.front(), '/');
    writeFile(machine,
        "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\CLSID\\" + formatGuid(stray) + "\\InprocServer32]\n@=\"" + relative
            + "\"\n");
    // The test server is found and loaded, and answers that it does not serve the class.
    EXPECT_EQ(createStray(CLASS_E_CLASSNOTAVAILABLE), "none");
    const std::string missing = m_registry.folder() + "/missing.so";
    registerStray(missing);
    EXPECT_EQ(createStray(HRESULT_FROM_WIN32(ENOENT)),
        "cannot load the server " + missing + ": No such file or directory");
}

TEST_F(Activation, AnUnreadableRegistryIsReportedNotTakenForMissingClasses)
{
    m_registry.write("REGEDIT4\nnonsense\n");
    ComPtr<IVlsTestControl> control;
    EXPECT_EQ(createInstance(CLSID_VlsTestControl, control), REGDB_E_READREGDB);
    CLSID clsid {};
    EXPECT_EQ(CLSIDFromProgID(u"Vls.TestControl", &clsid), REGDB_E_READREGDB);
}
