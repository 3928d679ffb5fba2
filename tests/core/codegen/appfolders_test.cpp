#include "codegen/appfolders.h"
#include "codegen/fileoperations.h"
#include "codegen/generationerror.h"
#include "testfolders.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

// Sets an environment variable for the scope and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(LocateAppFolders, AppFromEnvironmentAndScratchUnderTheCacheCreated)
{
    TempFolder temp;
    ScopedEnv app("TMBRSA_APP_DIR", (temp.path() + "app").c_str());
    ScopedEnv cache("XDG_CACHE_HOME", (temp.path() + "cache").c_str());
    const AppFolders folders = locateAppFolders("/usr/bin/tmbr");
    EXPECT_EQ(folders.app, temp.path() + "app/");
    EXPECT_EQ(folders.scratch, temp.path() + "cache/tmbrsa/temp/");
    EXPECT_TRUE(isFolder(folders.scratch));
}

TEST(LocateAppFolders, AppBesideTheExecutableAndScratchUnderHomeByDefault)
{
    TempFolder temp;
    ScopedEnv app("TMBRSA_APP_DIR", nullptr);
    ScopedEnv cache("XDG_CACHE_HOME", "relative/ignored");
    ScopedEnv home("HOME", (temp.path() + "home").c_str());
    writeBytes(temp.path() + "prefix/bin/tmbr", "");
    const AppFolders folders = locateAppFolders(temp.path() + "prefix/bin/tmbr");
    EXPECT_EQ(folders.app, temp.path() + "prefix/share/tmbrsa/");
    EXPECT_EQ(folders.scratch, temp.path() + "home/.cache/tmbrsa/temp/");
    EXPECT_TRUE(isFolder(folders.scratch));
}

TEST(LocateAppFolders, UnusableScratchFolderThrows)
{
    TempFolder temp;
    writeBytes(temp.path() + "cache", "a file, not a folder");
    ScopedEnv cache("XDG_CACHE_HOME", (temp.path() + "cache").c_str());
    EXPECT_THROW(locateAppFolders("/usr/bin/tmbr"), GenerationError);
}

TEST(ListPlayers, SortsByNameAndDropsTheExtension)
{
    TempFolder temp;
    const std::string players = temp.folder("buttonplayers");
    for (const char* name : { "a.swf", "c.swf", "b.swf", "Bb.SWF", "notes.txt", "d.swf.bak", ".swf" })
        writeBytes(players + name, "x");
    temp.folder("buttonplayers/folder.swf");
    EXPECT_EQ(listPlayers(players), (std::vector<std::string> { "a", "b", "Bb", "c" }));
    EXPECT_EQ(listPlayers(temp.path() + "buttonplayers"), (std::vector<std::string> { "a", "b", "Bb", "c" }));
}

TEST(ListPlayers, EmptyFolderGivesNoPlayersAndMissingFolderThrows)
{
    TempFolder temp;
    EXPECT_TRUE(listPlayers(temp.folder("jukeboxplayers")).empty());
    try {
        listPlayers(temp.path() + "missing/");
        FAIL();
    } catch (const GenerationError& error) {
        EXPECT_EQ(error.number(), 76);
    }
}

TEST(CleanScratchFolder, EmptiesOnlyAfterARunThatWroteATestPage)
{
    TempFolder temp;
    const std::string scratch = temp.folder("temp");
    writeBytes(scratch + "song.mp3", "x");
    writeBytes(scratch + "player.swf", "x");
    EXPECT_EQ(cleanScratchFolder(scratch), ScratchCleanup::LeftAlone);
    EXPECT_EQ(namesIn(scratch), (std::vector<std::string> { "player.swf", "song.mp3" }));

    writeBytes(scratch + "do-not-upload.html", "x");
    writeBytes(scratch + ".hidden", "x");
    temp.folder("temp/sub");
    EXPECT_EQ(cleanScratchFolder(scratch), ScratchCleanup::Emptied);
    EXPECT_EQ(namesIn(scratch), (std::vector<std::string> { "sub" }));
    EXPECT_EQ(cleanScratchFolder(temp.path() + "missing/"), ScratchCleanup::LeftAlone);
}
