#include "testsupport.h"
#include "vlscom/errorinfo.h"
#include "vlscom/regedit.h"
#include "vlscom/registry.h"
#include "vlscom/systemerror.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vlscom;

namespace {

HRESULT setValue(const std::string& key, const std::string& data)
{
    return updateRegistry([&](RegistryKey& root) {
        root.create(splitKeyPath(key)).setValue("", data);
        return S_OK;
    });
}

} // namespace

TEST(Registry, PathComesFromTheOverrideThenXdgDataHomeThenHome)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string savedData = saved ? saved : "";
    ::unsetenv("VLSCOM_REGISTRY");
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(registryPath(), "/data/vlscom/classes.reg");
    ::setenv("XDG_DATA_HOME", "relative", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(registryPath(), "/home/someone/.local/share/vlscom/classes.reg");
    ::setenv("VLSCOM_REGISTRY", "/tmp/x.reg", 1);
    EXPECT_EQ(registryPath(), "/tmp/x.reg");
    ::unsetenv("VLSCOM_REGISTRY");
    if (saved)
        ::setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

TEST(Registry, UpdatesCreateTheFolderAndLeaveNoTemporaryFile)
{
    TemporaryRegistry registry;
    const std::string nested = registry.folder() + "/a/b/classes.reg";
    ::setenv("VLSCOM_REGISTRY", nested.c_str(), 1);
    ASSERT_EQ(setValue("Some.Prog\\CLSID", "{X}"), S_OK);
    EXPECT_EQ(readFile(nested),
        "REGEDIT4\n\n[HKEY_CLASSES_ROOT\\Some.Prog]\n\n[HKEY_CLASSES_ROOT\\Some.Prog\\CLSID]\n@=\"{X}\"\n");
    EXPECT_FALSE(std::filesystem::exists(nested + ".tmp"));
    std::string value;
    EXPECT_EQ(readRegistryValue("SOME.PROG\\clsid", "", value), S_OK);
    EXPECT_EQ(value, "{X}");
    EXPECT_EQ(readRegistryValue("Some.Prog\\Missing", "", value), S_FALSE);
    EXPECT_EQ(value, "");
}

TEST(Registry, FailedChangeWritesNothing)
{
    TemporaryRegistry registry;
    ASSERT_EQ(setValue("Kept", "1"), S_OK);
    const std::string before = registry.text();
    EXPECT_EQ(updateRegistry([](RegistryKey& root) {
        root.create(splitKeyPath("Lost"));
        return E_ABORT;
    }),
        E_ABORT);
    EXPECT_EQ(registry.text(), before);
}

TEST(Registry, MalformedFileIsReportedAndNeverOverwritten)
{
    TemporaryRegistry registry;
    registry.write("REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\ngarbage\n");
    takeErrorInfo();
    EXPECT_EQ(setValue("b", "x"), REGDB_E_READREGDB);
    const auto error = takeErrorInfo();
    ASSERT_TRUE(error);
    EXPECT_EQ(toUtf8(error->description),
        "the class registry " + registry.path() + " is malformed at line 3: unexpected text");
    EXPECT_EQ(registry.text(), "REGEDIT4\n[HKEY_CLASSES_ROOT\\a]\ngarbage\n");
    std::string value;
    EXPECT_EQ(readRegistryValue("a", "", value), REGDB_E_READREGDB);
}

TEST(Registry, UnreadableFolderGivesTheSystemError)
{
    TemporaryRegistry registry;
    const std::string blocked = registry.folder() + "/file/classes.reg";
    writeFile(registry.folder() + "/file", "not a folder");
    ::setenv("VLSCOM_REGISTRY", blocked.c_str(), 1);
    const HRESULT hr = setValue("b", "x");
    EXPECT_EQ(static_cast<std::uint32_t>(hr) & 0xFFFF0000U, 0x80070000U) << describeHresult(hr);
}

TEST(Registry, ConcurrentWritersInSeparateProcessesLoseNothing)
{
    TemporaryRegistry registry;
    constexpr int writers = 4;
    constexpr int rounds = 25;
    pid_t children[writers] = {};
    for (int w = 0; w < writers; ++w) {
        children[w] = ::fork();
        ASSERT_GE(children[w], 0);
        if (children[w] == 0) {
            int failures = 0;
            for (int r = 0; r < rounds; ++r) {
                const std::string script = "REGEDIT4\n[-HKEY_CLASSES_ROOT\\Writer" + std::to_string(w)
                    + "]\n[HKEY_CLASSES_ROOT\\Writer" + std::to_string(w) + "]\n@=\"" + std::to_string(r)
                    + "\"\n" + "[HKEY_CLASSES_ROOT\\Writer" + std::to_string(w) + "\\Round"
                    + std::to_string(r) + "]\n";
                const std::string scripts[] = { script };
                if (FAILED(applyRegistryScripts(scripts, ScriptAction::Register)))
                    ++failures;
                if (r % 2 == 1 && FAILED(applyRegistryScripts(scripts, ScriptAction::Unregister)))
                    ++failures;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    // Readers meanwhile always see a complete registry.
    int status[writers] = {};
    bool exited[writers] = {};
    for (int running = writers, reads = 0; running > 0; ++reads) {
        RegistryKey root;
        ASSERT_EQ(loadRegistry(root), S_OK) << "after " << reads << " reads";
        for (int w = 0; w < writers; ++w) {
            if (!exited[w] && ::waitpid(children[w], &status[w], WNOHANG) == children[w]) {
                exited[w] = true;
                --running;
            }
        }
    }
    for (int w = 0; w < writers; ++w)
        EXPECT_TRUE(WIFEXITED(status[w]) && WEXITSTATUS(status[w]) == 0) << "writer " << w;
    std::string expected = "REGEDIT4\n";
    for (int w = 0; w < writers; ++w) {
        expected += "\n[HKEY_CLASSES_ROOT\\Writer" + std::to_string(w) + "]\n@=\""
            + std::to_string(rounds - 1) + "\"\n";
        expected += "\n[HKEY_CLASSES_ROOT\\Writer" + std::to_string(w) + "\\Round"
            + std::to_string(rounds - 1) + "]\n";
    }
    EXPECT_EQ(registry.text(), expected);
}
