#include "codegen/generationerror.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace tmbr::codegen;

TEST(GenerationError, MapsErrnoToTheClassicRunTimeErrorNumbers)
{
    EXPECT_EQ(GenerationError::fromErrno(ENOENT, "/a/b.mp3").number(), 53);
    EXPECT_EQ(GenerationError::fromErrno(ENOTDIR, "/a/b.mp3").number(), 76);
    EXPECT_EQ(GenerationError::pathNotFound("/a/").number(), 76);
    EXPECT_EQ(GenerationError::fromErrno(ENOSPC, "/a").number(), 61);
    EXPECT_EQ(GenerationError::fromErrno(EDQUOT, "/a").number(), 61);
    for (const int denied : { EACCES, EPERM, EROFS, EBUSY })
        EXPECT_EQ(GenerationError::fromErrno(denied, "/a").number(), 70) << denied;
    for (const int other : { EISDIR, EIO, EMFILE, ENAMETOOLONG })
        EXPECT_EQ(GenerationError::fromErrno(other, "/a").number(), 75) << other;
}

TEST(GenerationError, DescriptionNamesThePath)
{
    EXPECT_EQ(GenerationError::fromErrno(ENOENT, "/music/song.mp3").description(),
        "File not found: /music/song.mp3");
    EXPECT_EQ(
        GenerationError::fromErrno(EACCES, "/out/x.html").description(), "Permission denied: /out/x.html");
    EXPECT_EQ(GenerationError::pathNotFound("/gone/x").description(), "Path not found: /gone/x");
    EXPECT_EQ(GenerationError::fromErrno(ENOSPC, "/full/x").description(), "Disk full: /full/x");
    EXPECT_EQ(GenerationError::fromErrno(EISDIR, "/out/d").description(),
        "Path/File access error: /out/d (Is a directory)");
    EXPECT_STREQ(GenerationError(53, "File not found: x").what(), "File not found: x");
}

TEST(StandardErrorText, FormatsNumberAndUpperCasedDescription)
{
    EXPECT_EQ(standardErrorText(53, "File not found: /home/u/song.mp3"),
        "INTERNAL ERROR OCCURED - ERROR NUMBER: 53 - FILE NOT FOUND: /HOME/U/SONG.MP3. PLEASE CONTACT "
        "SUPPORT.");
    EXPECT_EQ(
        standardErrorText(70, ""), "INTERNAL ERROR OCCURED - ERROR NUMBER: 70 - . PLEASE CONTACT SUPPORT.");
}

TEST(StandardErrorText, UpperCasesNonAsciiLettersAndKeepsBrokenBytes)
{
    EXPECT_EQ(standardErrorText(76, "Path not found: /home/josé/ärger/"),
        "INTERNAL ERROR OCCURED - ERROR NUMBER: 76 - PATH NOT FOUND: /HOME/JOSÉ/ÄRGER/. PLEASE CONTACT "
        "SUPPORT.");
    EXPECT_EQ(standardErrorText(75,
                  "a\xff"
                  "b\xc3"),
        "INTERNAL ERROR OCCURED - ERROR NUMBER: 75 - A\xff"
        "B\xc3. PLEASE CONTACT SUPPORT.");
}
