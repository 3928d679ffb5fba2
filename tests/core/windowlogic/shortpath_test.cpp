#include "shortpath.h"
#include "tempappfolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

TEST(ShortPathOf, IsThePathItselfAndLeavesNoFileBehind)
{
    TempFolder folder;
    const std::string missing = folder.path() + "recording to be.mp3";
    EXPECT_EQ(ShortPathOf(missing), missing);
    EXPECT_FALSE(exists(missing));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    writeFile(folder.path() + "a long name.wav", "RIFF");
    EXPECT_EQ(ShortPathOf(folder.path() + "a long name.wav"), folder.path() + "a long name.wav");
    EXPECT_EQ(readFile(folder.path() + "a long name.wav"), "RIFF");
}

} // namespace
} // namespace tmbr::gui::test
