#include "testsupport.h"
#include "vlscom/comptr.h"
#include "vlscom/stream.h"

#include <gtest/gtest.h>

using namespace vlscom;

namespace {
std::string readAll(IStream* stream)
{
    std::string text;
    char buffer[4];
    ULONG got = 0;
    do {
        EXPECT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
        text.append(buffer, got);
    } while (got == sizeof buffer);
    return text;
}
} // namespace

TEST(MemoryStream, WritesReadsSeeksAndGrows)
{
    ComPtr<IStream> stream;
    ASSERT_EQ(createMemoryStream(stream.put()), S_OK);
    ULONG written = 0;
    ASSERT_EQ(stream->Write("hello world", 11, &written), S_OK);
    EXPECT_EQ(written, 11U);
    std::uint64_t position = 0;
    ASSERT_EQ(stream->Seek(-5, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position, 6U);
    EXPECT_EQ(readAll(stream.get()), "world");
    ASSERT_EQ(stream->Seek(20, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(stream->Write("!", 1, nullptr), S_OK);
    STATSTG stat {};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize, 21U);
    EXPECT_EQ(stream->Seek(-1, STREAM_SEEK_SET, nullptr), STG_E_INVALIDFUNCTION);
    stream->Seek(0, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(readAll(stream.get()), std::string("hello world\0\0\0\0\0\0\0\0\0!", 21));
    EXPECT_FALSE(stream.as<IUnknown>() == nullptr);
    EXPECT_TRUE(stream.as<ISequentialStream>());
}

TEST(FileStream, CreatedFileAppearsOnlyOnCommit)
{
    TemporaryRegistry scratch;
    const std::string path = scratch.folder() + "/saved.bin";
    writeFile(path, "previous");
    {
        ComPtr<IStream> stream;
        ASSERT_EQ(createFileStream(path, FileStreamMode::Create, stream.put()), S_OK);
        ASSERT_EQ(stream->Write("abandoned", 9, nullptr), S_OK);
    }
    EXPECT_EQ(readFile(path), "previous");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // Another writer's file beside the target is neither truncated nor removed.
    writeFile(path + ".tmp", "another writer's");
    {
        ComPtr<IStream> stream;
        ASSERT_EQ(createFileStream(path, FileStreamMode::Create, stream.put()), S_OK);
        ASSERT_EQ(stream->Write("new content", 11, nullptr), S_OK);
        EXPECT_EQ(readFile(path), "previous");
        ASSERT_EQ(stream->Commit(STGC_DEFAULT), S_OK);
    }
    EXPECT_EQ(readFile(path), "new content");
    EXPECT_EQ(readFile(path + ".tmp"), "another writer's");
    ComPtr<IStream> reader;
    ASSERT_EQ(createFileStream(path, FileStreamMode::Read, reader.put()), S_OK);
    EXPECT_EQ(readAll(reader.get()), "new content");
    EXPECT_EQ(reader->Write("x", 1, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(
        createFileStream(path + ".missing", FileStreamMode::Read, reader.put()), HRESULT_FROM_WIN32(ENOENT));
}
