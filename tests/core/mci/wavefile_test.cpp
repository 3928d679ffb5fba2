#include "mci/wavefile.h"
#include "tempfolder.h"
#include "wavecontent.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace tmbr::gui;
using tmbr::gui::test::TempFolder;

namespace {

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

} // namespace

// The file is a 44-byte canonical header followed by the samples as given.
TEST(WaveFile, WritesTheCanonicalHeaderAndTheSamples)
{
    TempFolder folder;
    const std::string path = folder.file("take one.wav");
    const std::string samples("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    ASSERT_TRUE(writeWaveFile(path, PcmFormat { 44100, 2, 16 }, samples.data(), samples.size()));

    const std::string expected = std::string("RIFF\x2C\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00"
                                             "\x44\xAC\x00\x00\x10\xB1\x02\x00\x04\x00\x10\x00"
                                             "data\x08\x00\x00\x00",
                                     44)
        + samples;
    EXPECT_EQ(fileBytes(path), expected);
    EXPECT_EQ(std::filesystem::directory_iterator(folder.path())->path().filename(), "take one.wav");
}

// An empty recording gives a valid file with an empty data chunk.
TEST(WaveFile, WritesAnEmptyRecording)
{
    TempFolder folder;
    ASSERT_TRUE(writeWaveFile(folder.file("empty.wav"), PcmFormat { 11025, 1, 16 }, nullptr, 0));
    const auto wave = tmbr::gui::test::readWave(folder.file("empty.wav"));
    ASSERT_TRUE(wave.valid);
    EXPECT_EQ(wave.riffSize, 36u);
    EXPECT_EQ(wave.bytesPerSec, 22050u);
    EXPECT_EQ(wave.blockAlign, 2);
    EXPECT_TRUE(wave.samples.empty());
}

// A failed write reports the reason and leaves neither a partial file nor a changed old file.
TEST(WaveFile, FailureLeavesNoPartialFile)
{
    TempFolder folder;
    std::string error;
    EXPECT_FALSE(writeWaveFile(folder.file("missing/take.wav"), PcmFormat {}, "ab", 2, &error));
    EXPECT_EQ(error, "No such file or directory");

    const std::string old = folder.file("old.wav");
    std::ofstream(old) << "older content";
    EXPECT_FALSE(writeWaveFile(old, PcmFormat {}, "ab", kMaxWaveDataBytes + 1, &error));
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(fileBytes(old), "older content");

    // A folder in the file's place is refused.
    std::filesystem::create_directory(folder.file("taken.wav"));
    EXPECT_FALSE(writeWaveFile(folder.file("taken.wav"), PcmFormat {}, "ab", 2, &error));
    EXPECT_EQ(error, "Is a directory");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 2);
}
