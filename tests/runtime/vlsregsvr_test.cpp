#include "testsupport.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status;
    std::string output;
};

Outcome vlsregsvr(const std::string& arguments)
{
    const std::string command = std::string(VLS_REGSVR) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    Outcome run { -1, {} };
    if (!pipe)
        return run;
    char buffer[512];
    while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

TEST(Vlsregsvr, RegistersAndUnregistersAServer)
{
    TemporaryRegistry registry;
    const std::string server = canonical(VLS_TEST_SERVER);
    Outcome run = vlsregsvr(server);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "vlsregsvr: registered " + server + " in " + registry.path() + "\n");
    EXPECT_NE(registry.text().find("[HKEY_CLASSES_ROOT\\Vls.TestControl]"), std::string::npos);
    run = vlsregsvr("-u " + server);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "vlsregsvr: unregistered " + server + " in " + registry.path() + "\n");
    EXPECT_EQ(registry.text().find("Vls.TestControl"), std::string::npos);
}

// --system registers in the machine's registry; unregistering for the user leaves it alone.
TEST(Vlsregsvr, SystemWritesTheMachinesRegistryOnly)
{
    TemporaryRegistry registry;
    const std::string server = canonical(VLS_TEST_SERVER);
    Outcome run = vlsregsvr("--system " + server);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "vlsregsvr: registered " + server + " in " + registry.machinePath() + "\n");
    EXPECT_NE(
        readFile(registry.machinePath()).find("[HKEY_CLASSES_ROOT\\Vls.TestControl]"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(registry.path()));
    run = vlsregsvr("-u " + server);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(readFile(registry.machinePath()).find("Vls.TestControl"), std::string::npos);
}

TEST(Vlsregsvr, ExplainsEveryFailure)
{
    TemporaryRegistry registry;
    Outcome run = vlsregsvr("");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output.rfind("usage: vlsregsvr [-u] [--system] SERVER.so\n", 0), 0U);
    EXPECT_EQ(vlsregsvr("-x server.so").status, 2);
    EXPECT_EQ(vlsregsvr("a.so b.so").status, 2);

    run = vlsregsvr(registry.folder() + "/missing.so");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
        "vlsregsvr: cannot find " + registry.folder() + "/missing.so: No such file or directory\n");

    const std::string runtime = canonical(VLS_VLSCOM_LIBRARY);
    run = vlsregsvr(runtime);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "vlsregsvr: " + runtime + " does not export DllRegisterServer\n");

    registry.write("REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\nnonsense\n");
    const std::string server = canonical(VLS_TEST_SERVER);
    run = vlsregsvr(server);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
        "vlsregsvr: DllRegisterServer of " + server + " failed: 0x80040150 (cannot read the class registry)\n"
            + "  the class registry " + registry.path() + " is malformed at line 3: unexpected text\n");
    EXPECT_EQ(registry.text(), "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\nnonsense\n");
}
