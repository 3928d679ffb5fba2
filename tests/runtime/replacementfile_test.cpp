#include "testsupport.h"
#include "vlscom/replacementfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using vlscom::ReplacementFile;

namespace {

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void put(const ReplacementFile& file, const std::string& text)
{
    ASSERT_EQ(::write(file.descriptor(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

mode_t modeOf(const std::string& path)
{
    struct stat info { };
    ::stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

} // namespace

// Until commit the target keeps its bytes; the hidden temporary file beside it becomes the target
// with the target's permissions. A discarded or abandoned replacement leaves nothing behind.
TEST(ReplacementFile, ReplacesOnlyWhenCommitted)
{
    TemporaryRegistry folder;
    const std::string target = folder.folder() + "/song.mp3";
    writeFile(target, "old");
    ::chmod(target.c_str(), 0640);
    {
        ReplacementFile file;
        ASSERT_EQ(file.create(target, ".mp3"), 0);
        EXPECT_FALSE(file.direct());
        EXPECT_EQ(file.path().rfind(folder.folder() + "/.song.mp3.", 0), 0U) << file.path();
        EXPECT_TRUE(file.path().ends_with(".mp3"));
        EXPECT_EQ(modeOf(file.path()), 0640U);
        put(file, "partial");
        EXPECT_EQ(readFile(target), "old");
    }
    EXPECT_EQ(namesIn(folder.folder()), std::vector<std::string> { "song.mp3" });
    ReplacementFile first;
    ReplacementFile second;
    ASSERT_EQ(first.create(target), 0);
    ASSERT_EQ(second.create(target), 0);
    EXPECT_NE(first.path(), second.path());
    second.discard();
    put(first, "new");
    ::chmod(target.c_str(), 0604);
    ASSERT_EQ(first.commit(), 0);
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(modeOf(target), 0604U);
    EXPECT_EQ(namesIn(folder.folder()), std::vector<std::string> { "song.mp3" });
}

// A link is followed (the file it names is replaced, the link stays); a device is written in place
// and never removed; a folder and a missing folder are refused.
TEST(ReplacementFile, LinksDevicesAndFolders)
{
    TemporaryRegistry folder;
    const std::string real = folder.folder() + "/real.wav";
    const std::string link = folder.folder() + "/link.wav";
    writeFile(real, "old");
    std::filesystem::create_symlink(real, link);
    ReplacementFile file;
    ASSERT_EQ(file.create(link), 0);
    put(file, "new");
    ASSERT_EQ(file.commit(), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(real), "new");

    const std::string device = folder.folder() + "/null.wav";
    std::filesystem::create_symlink("/dev/null", device);
    ASSERT_EQ(file.create(device), 0);
    EXPECT_TRUE(file.direct());
    EXPECT_EQ(file.path(), device);
    EXPECT_EQ(file.descriptor(), -1);
    EXPECT_EQ(file.commit(), 0);
    file.discard();
    EXPECT_TRUE(std::filesystem::is_symlink(device));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    EXPECT_EQ(file.create(folder.folder()), EISDIR);
    EXPECT_EQ(file.create(folder.folder() + "/none/out.wav"), ENOENT);
    EXPECT_EQ(namesIn(folder.folder()), (std::vector<std::string> { "link.wav", "null.wav", "real.wav" }));
}

// A writer that replaces the name itself: a link and a device become the new file, which has the
// given mode instead of the replaced one's, and the descriptor reads what was written.
TEST(ReplacementFile, ReplacesTheNameItselfWhenAsked)
{
    TemporaryRegistry folder;
    const std::string real = folder.folder() + "/real.reg";
    const std::string link = folder.folder() + "/link.reg";
    writeFile(real, "old");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, link);
    ReplacementFile::Options options;
    options.followLinks = false;
    options.inPlaceWhenSpecial = false;
    options.keepMode = false;
    options.newMode = 0600;
    options.readable = true;
    options.syncFolder = true;
    const mode_t umask = ::umask(0022);
    ReplacementFile file;
    ASSERT_EQ(file.create(link, {}, options), 0);
    ::umask(umask);
    EXPECT_EQ(file.target(), link);
    put(file, "new");
    char back[3] {};
    ASSERT_EQ(::pread(file.descriptor(), back, 3, 0), 3);
    EXPECT_EQ(std::string(back, 3), "new");
    ASSERT_EQ(file.commit(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(link), "new");
    EXPECT_EQ(modeOf(link), 0600U);
    EXPECT_EQ(readFile(real), "old");

    const std::string device = folder.folder() + "/null.reg";
    std::filesystem::create_symlink("/dev/null", device);
    ASSERT_EQ(file.create(device, {}, options), 0);
    EXPECT_FALSE(file.direct());
    EXPECT_NE(file.path(), device);
    file.discard();
    EXPECT_TRUE(std::filesystem::is_symlink(device));
    EXPECT_EQ(namesIn(folder.folder()), (std::vector<std::string> { "link.reg", "null.reg", "real.reg" }));
}
