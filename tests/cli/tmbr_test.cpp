#include "runtmbr.h"

#include <gtest/gtest.h>

using namespace tmbr::testing;

namespace {

TmbrRun run(const std::vector<std::string>& args)
{
    static TempFolder temp;
    return runTmbr(args, {}, temp.path(), temp.path());
}

} // namespace

TEST(TmbrCommand, HelpListsTheCommandsOnStandardOutput)
{
    for (const char* help : { "--help", "-h", "help" }) {
        const TmbrRun result = run({ help });
        EXPECT_EQ(result.exitCode, 0) << help;
        EXPECT_NE(result.out.find("Usage: tmbr COMMAND"), std::string::npos);
        EXPECT_NE(result.out.find("  button "), std::string::npos);
        EXPECT_NE(result.out.find("  jukebox "), std::string::npos);
        EXPECT_EQ(result.err, "");
    }
}

TEST(TmbrCommand, NoCommandOrAnUnknownOneIsAUsageError)
{
    TmbrRun result = run({});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Usage: tmbr COMMAND"), std::string::npos);

    result = run({ "frobnicate", "--help" });
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tmbr: unknown command 'frobnicate' (see 'tmbr --help')\n");
}
