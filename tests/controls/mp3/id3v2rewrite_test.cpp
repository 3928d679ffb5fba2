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

// The temporary name replaces the last character, a multi-byte one whole.
TEST(Id3v2Rewrite, TemporaryNameEndsInTilde)
{
    EXPECT_EQ(temporaryTagPath("/a/song.mp3"), "/a/song.mp~");
    EXPECT_EQ(temporaryTagPath("/a/song"), "/a/son~");
    EXPECT_EQ(temporaryTagPath("/a/caf\xc3\xa9"), "/a/caf~");
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
    EXPECT_FALSE(std::filesystem::exists(folder.file("song.mp~")));
}

// Each failure has its own number, leaves the file as it was and removes the temporary file.
TEST(Id3v2Rewrite, FailuresLeaveTheFileAsItWas)
{
    TempFolder folder;
    const std::string path = folder.file("song.mp3");
    const auto body = pattern(40000);
    const auto tag = pattern(1024);

    // #12: the temporary name is taken by a folder.
    writeBytes(path, body);
    std::filesystem::create_directory(folder.file("song.mp~"));
    EXPECT_EQ(failureOf(path, tag),
        "Internal error #12. Cannot write id3v2 tag. System error message: Is a directory.");
    std::filesystem::remove(folder.file("song.mp~"));
    EXPECT_EQ(readBytes(path), body);

    // #14: the file has gone.
    const std::string missing = folder.file("missing.mp3");
    EXPECT_EQ(failureOf(missing, tag),
        "Internal error #14. Cannot write id3v2 tag. System error message: No such file or directory.");
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing.mp~")));

    // #15: the "file" cannot be read (a folder opens but does not read).
    const std::string directory = folder.file("dir.mp3");
    std::filesystem::create_directory(directory);
    EXPECT_EQ(failureOf(directory, tag),
        "Internal error #15. Cannot write id3v2 tag. System error message: Is a directory.");
    EXPECT_FALSE(std::filesystem::exists(folder.file("dir.mp~")));

    // #13 and #16: writes past a file-size limit fail.
    {
        const FileSizeLimit limit(512);
        EXPECT_EQ(failureOf(path, tag),
            "Internal error #13. Cannot write id3v2 tag. System error message: File too large.");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("song.mp~")));
    {
        const FileSizeLimit limit(20000);
        EXPECT_EQ(failureOf(path, tag),
            "Internal error #16. Cannot write id3v2 tag. System error message: File too large.");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("song.mp~")));
    EXPECT_EQ(readBytes(path), body);
}
