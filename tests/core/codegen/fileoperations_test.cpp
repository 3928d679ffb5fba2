#include "codegen/fileoperations.h"
#include "codegen/generationerror.h"
#include "testfolders.h"

#include <gtest/gtest.h>

using namespace tmbr::codegen;
using namespace tmbr::testing;

namespace {

int errorNumberOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const GenerationError& error) {
        return error.number();
    }
    return 0;
}

} // namespace

TEST(WriteFile, CreatesAndReplacesWithExactBytesLeavingNoTemporaryFile)
{
    TempFolder temp;
    const std::string path = temp.path() + "page.html";
    writeFile(path, std::string("a\r\nb\0c", 6));
    EXPECT_EQ(readBytes(path), std::string("a\r\nb\0c", 6));
    writeFile(path, "short");
    EXPECT_EQ(readBytes(path), "short");
    writeFile(temp.path() + "empty.txt", "");
    EXPECT_EQ(readBytes(temp.path() + "empty.txt"), "");
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string> { "empty.txt", "page.html" }));
}

TEST(WriteFile, FailureLeavesTheOldTargetAndNoTemporaryFile)
{
    TempFolder temp;
    const std::string blocked = temp.folder("page.html");
    writeBytes(blocked + "inside", "kept");
    EXPECT_EQ(errorNumberOf([&] { writeFile(temp.path() + "page.html", "new"); }), 75);
    EXPECT_EQ(readBytes(blocked + "inside"), "kept");
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string> { "page.html" }));
}

TEST(WriteFile, MissingFolderIsPathNotFound)
{
    TempFolder temp;
    writeBytes(temp.path() + "file", "x");
    EXPECT_EQ(errorNumberOf([&] { writeFile(temp.path() + "missing/page.html", "x"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { writeFile(temp.path() + "file/page.html", "x"); }), 76);
}

TEST(CopyFile, CopiesBytesReplacingTheTarget)
{
    TempFolder temp;
    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + 3);
    writeBytes(temp.path() + "src.mp3", big);
    writeBytes(temp.path() + "out/src.mp3", "older and different");
    copyFile(temp.path() + "src.mp3", temp.path() + "out/src.mp3");
    EXPECT_EQ(readBytes(temp.path() + "out/src.mp3"), big);
    EXPECT_EQ(namesIn(temp.path() + "out"), (std::vector<std::string> { "src.mp3" }));
}

TEST(CopyFile, OntoItselfLeavesTheFileIntact)
{
    TempFolder temp;
    writeBytes(temp.path() + "song.mp3", "ID3 data");
    copyFile(temp.path() + "song.mp3", temp.path() + "song.mp3");
    copyFile(temp.path() + "song.mp3", temp.path() + "./song.mp3");
    EXPECT_EQ(readBytes(temp.path() + "song.mp3"), "ID3 data");
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string> { "song.mp3" }));
}

TEST(CopyFile, FailuresCarryTheirNumbersAndLeaveTheTarget)
{
    TempFolder temp;
    writeBytes(temp.path() + "target", "kept");
    writeBytes(temp.path() + "regular", "x");
    EXPECT_EQ(errorNumberOf([&] { copyFile(temp.path() + "nothing.mp3", temp.path() + "target"); }), 53);
    EXPECT_EQ(errorNumberOf([&] { copyFile(temp.path() + "gone/x.mp3", temp.path() + "target"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { copyFile(temp.path() + "regular/x.mp3", temp.path() + "target"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { copyFile(temp.path(), temp.path() + "target"); }), 75);
    EXPECT_EQ(errorNumberOf([&] { copyFile(temp.path() + "regular", temp.path() + "gone/target"); }), 76);
    EXPECT_EQ(readBytes(temp.path() + "target"), "kept");
    EXPECT_EQ(namesIn(temp.path()), (std::vector<std::string> { "regular", "target" }));
}

TEST(CopyFile, FailureDescriptionNamesTheFailingPath)
{
    TempFolder temp;
    try {
        copyFile(temp.path() + "nothing.mp3", temp.path() + "target");
        FAIL();
    } catch (const GenerationError& error) {
        EXPECT_EQ(error.description(), "File not found: " + temp.path() + "nothing.mp3");
    }
}

TEST(DeleteMatching, DeletesOnlyMatchingRegularFiles)
{
    TempFolder temp;
    for (const char* name : { "tmbrwbcab0101.js", "tmbrwbc.js", "tmbrwbcab0101.jsx", "tmbrmjbab0101.js",
             "TMBRWBCab0101.js", "atmbrwbc1.js", "keep.html" })
        writeBytes(temp.path() + name, "x");
    temp.folder("tmbrwbcfolder.js");
    EXPECT_EQ(deleteMatching(temp.path(), "tmbrwbc*.js"), 2);
    EXPECT_EQ(namesIn(temp.path()),
        (std::vector<std::string> { "TMBRWBCab0101.js", "atmbrwbc1.js", "keep.html", "tmbrmjbab0101.js",
            "tmbrwbcab0101.jsx", "tmbrwbcfolder.js" }));
    EXPECT_EQ(deleteMatching(temp.path(), "tmbrwbc*.js"), 0);
    EXPECT_EQ(errorNumberOf([&] { deleteMatching(temp.path() + "missing/", "*.js"); }), 76);
}

TEST(EnsureFolder, CreatesMissingParentsAndRefusesAFileInTheWay)
{
    TempFolder temp;
    ensureFolder(temp.path() + "a/b/c/");
    EXPECT_TRUE(isFolder(temp.path() + "a/b/c"));
    ensureFolder(temp.path() + "a/b/c/");
    writeBytes(temp.path() + "file", "x");
    EXPECT_EQ(errorNumberOf([&] { ensureFolder(temp.path() + "file/sub/"); }), 76);
    EXPECT_EQ(errorNumberOf([&] { ensureFolder(temp.path() + "file/"); }), 76);
    EXPECT_TRUE(isRegularFile(temp.path() + "file"));
    EXPECT_FALSE(isRegularFile(temp.path() + "a"));
}
