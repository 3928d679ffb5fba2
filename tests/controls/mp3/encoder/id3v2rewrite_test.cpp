#include "encodererror.h"
#include "id3v2rewrite.h"
#include "mp3testsupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace vlsmp3;
using mp3test::readBytes;
using mp3test::TempFolder;
using mp3test::writeBytes;

namespace {
std::vector<std::uint8_t> pattern(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

std::string failureOf(const std::string& path, const std::vector<std::uint8_t>& tag)
{
    try {
        putId3v2TagInFront(path, tag);
    } catch (const EncoderError& error) {
        return error.message();
    }
    return {};
}

// Limits the size of files this process writes while it lives (writes past it fail with EFBIG).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { bytes, m_previous.rlim_max };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous {};
    void (*m_handler)(int) = nullptr;
};
} // namespace

// Files beside the output are never the temporary file: an existing "~" backup, even when it is
// the very input, keeps its bytes; a link is followed and stays; a device is refused untouched.
TEST(Id3v2Rewrite, LeavesOtherFilesAlone)
{
    TempFolder folder;
    const std::string path = folder.file("song.mp3");
    const auto body = pattern(1000);
    const auto backup = pattern(300);
    writeBytes(path, body);
    writeBytes(folder.file("song.mp~"), backup);
    const auto tag = pattern(64);
    putId3v2TagInFront(path, tag);
    auto expected = tag;
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(readBytes(folder.file("song.mp~")), backup);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);

    std::filesystem::create_symlink(path, folder.file("link.mp3"));
    putId3v2TagInFront(folder.file("link.mp3"), tag);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.mp3")));
    expected.insert(expected.begin(), tag.begin(), tag.end());
    EXPECT_EQ(readBytes(path), expected);

    std::filesystem::create_symlink("/dev/null", folder.file("null.mp3"));
    EXPECT_EQ(
        failureOf(folder.file("null.mp3"), tag), "Cannot write id3v2 tag: the output is not a regular file.");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("null.mp3")));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
}

// The tag goes in front, the file's bytes follow unchanged (across several 16384-byte pieces), and
// no temporary file remains.
TEST(Id3v2Rewrite, PutsTheTagInFront)
{
    TempFolder folder;
    const std::string path = folder.file("song.mp3");
    const auto body = pattern(40000);
    writeBytes(path, body);
    const auto tag = pattern(1024);
    putId3v2TagInFront(path, tag);
    auto expected = tag;
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

// Each failure has its own number, leaves the file as it was and removes the temporary file.
TEST(Id3v2Rewrite, FailuresLeaveTheFileAsItWas)
{
    TempFolder folder;
    const std::string path = folder.file("song.mp3");
    const auto body = pattern(40000);
    const auto tag = pattern(1024);

    // #12: the folder is missing.
    writeBytes(path, body);
    EXPECT_EQ(failureOf(folder.file("none/song.mp3"), tag),
        "Internal error #12. Cannot write id3v2 tag. System error message: No such file or directory.");

    // #14: the file has gone.
    const std::string missing = folder.file("missing.mp3");
    EXPECT_EQ(failureOf(missing, tag),
        "Internal error #14. Cannot write id3v2 tag. System error message: No such file or directory.");

    // #12 too for a folder, which is never replaced.
    const std::string directory = folder.file("dir.mp3");
    std::filesystem::create_directory(directory);
    EXPECT_EQ(failureOf(directory, tag),
        "Internal error #12. Cannot write id3v2 tag. System error message: Is a directory.");

    // #13 and #16: writes past a file-size limit fail.
    {
        const FileSizeLimit limit(512);
        EXPECT_EQ(failureOf(path, tag),
            "Internal error #13. Cannot write id3v2 tag. System error message: File too large.");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
    {
        const FileSizeLimit limit(20000);
        EXPECT_EQ(failureOf(path, tag),
            "Internal error #16. Cannot write id3v2 tag. System error message: File too large.");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
    EXPECT_EQ(readBytes(path), body);
}
