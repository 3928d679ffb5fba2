#include "decodertestsupport.h"
#include "decodingthread.h"
#include "filesource.h"
#include "memorysource.h"
#include "mp3streamreader.h"

#include <chrono>
#include <gtest/gtest.h>
#include <random>

using namespace vlsmp3;
using namespace mp3test;

namespace {

struct Opened {
    explicit Opened(const std::string& path)
        : source(path)
        , info(readStream(source))
        , thread(source, info)
    {
    }
    FileSource source;
    StreamInfo info;
    DecodingThread thread;
};

std::vector<std::uint8_t> readToEnd(DecodingThread& thread)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> buffer(10000);
    thread.start();
    for (std::size_t n; (n = thread.read(buffer.data(), buffer.size())) > 0;)
        out.insert(out.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
    thread.finish();
    return out;
}

int maxDifference(const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b)
{
    int worst = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

} // namespace

// Decoded PCM equals the reference decoder's, sample for sample within 1 LSB.
TEST(DecodingThread, MatchesReferenceDecoder)
{
    TempFolder folder;
    const struct {
        const char* name;
        const char* sox;
        const char* lame;
    } cases[] = {
        { "cbr", "-r 44100 -c 2", "-b 128" },
        { "vbr", "-r 44100 -c 2", "-V 2" },
        { "mono22", "-r 22050 -c 1", "-b 48 -m m" },
        { "mpeg25", "-r 8000 -c 1", "-b 16 -m m" },
        { "tagged", "-r 44100 -c 2", "-b 96 --add-id3v2 --tt Name --tc Text" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = makeMp3(folder, c.name, c.sox, 2, c.lame);
        ASSERT_FALSE(path.empty());
        Opened opened(path);
        const auto ours = toSamples(readToEnd(opened.thread));
        const auto reference = referencePcm(path);
        ASSERT_FALSE(reference.empty());
        EXPECT_EQ(ours.size(), reference.size());
        EXPECT_LE(maxDifference(ours, reference), 1);
    }
}

// After the end a new run finds the end at once; a seek then plays again from the target.
TEST(DecodingThread, EndOfStreamSeekAndPosition)
{
    TempFolder folder;
    const std::string path = makeMp3(folder, "tone", "-r 44100 -c 2", 6, "-b 128 -t");
    ASSERT_FALSE(path.empty());
    Opened opened(path);
    const auto whole = readToEnd(opened.thread);
    EXPECT_NEAR(opened.thread.positionMs(), 6000, 60);
    EXPECT_TRUE(readToEnd(opened.thread).empty());

    opened.thread.seek(3000);
    const auto rest = readToEnd(opened.thread);
    EXPECT_NEAR(double(rest.size()), double(whole.size()) / 2, 44100 * 4 * 0.05);
    EXPECT_NEAR(opened.thread.positionMs(), 6000, 60);

    // The seek lands near the target: the first chunk's position is the target plus one chunk.
    opened.thread.seek(2000);
    opened.thread.start();
    std::vector<std::uint8_t> buffer(4608);
    EXPECT_EQ(opened.thread.read(buffer.data(), buffer.size()), buffer.size());
    EXPECT_GE(opened.thread.positionMs(), 2000);
    EXPECT_LT(opened.thread.positionMs(), 2000 + 16 * 576000.0 / 44100);
    opened.thread.stop();
}

// Seeking in a VBR file through its Xing table lands near the target.
TEST(DecodingThread, SeekInVbrFile)
{
    TempFolder folder;
    const std::string path = makeMp3(folder, "vbr", "-r 44100 -c 2", 6, "-V 2");
    ASSERT_FALSE(path.empty());
    Opened opened(path);
    ASSERT_TRUE(opened.info.vbr);
    opened.thread.seek(4000);
    const auto rest = readToEnd(opened.thread);
    EXPECT_NEAR(double(rest.size()) / 4, (opened.info.duration - 4) * 44100, 44100 * 0.15);
}

// A reader that stops mid-stream: the thread is joined well within 2000 ms, and the broken pipe
// raises no SIGPIPE.
TEST(DecodingThread, StopMidStreamJoinsQuickly)
{
    TempFolder folder;
    const std::string path = makeMp3(folder, "long", "-r 44100 -c 2", 20, "-b 128");
    ASSERT_FALSE(path.empty());
    for (int round = 0; round < 5; ++round) {
        Opened opened(path);
        opened.thread.start();
        std::vector<std::uint8_t> buffer(1000 * static_cast<std::size_t>(round + 1));
        opened.thread.read(buffer.data(), buffer.size());
        const auto before = std::chrono::steady_clock::now();
        opened.thread.stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(2000));
        EXPECT_FALSE(opened.thread.active());
    }
    // Destroyed while running, never read.
    Opened opened(path);
    opened.thread.start();
}

// Corrupt frames mid-stream are skipped by resynchronisation; random bytes end the stream.
TEST(DecodingThread, CorruptAndRandomInput)
{
    TempFolder folder;
    const std::string path = makeMp3(folder, "corrupt", "-r 44100 -c 2", 4, "-b 128 -t");
    ASSERT_FALSE(path.empty());
    auto bytes = readBytes(path);
    Opened clean(path);
    const std::size_t good = toSamples(readToEnd(clean.thread)).size();
    std::mt19937 random(3);
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 3000; ++i)
        bytes[i] = static_cast<std::uint8_t>(random());
    MemorySource source(bytes);
    const StreamInfo info = readStream(source);
    DecodingThread thread(source, info);
    const auto samples = toSamples(readToEnd(thread));
    EXPECT_GT(samples.size(), good * 8 / 10);
    EXPECT_LE(samples.size(), good);

    std::vector<std::uint8_t> noise(300000);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    noise[0] = 0xFF;
    noise[1] = 0xFB;
    noise[2] = 0x90;
    noise[3] = 0x00;
    MemorySource noiseSource(noise);
    const StreamInfo noiseInfo = readStream(noiseSource);
    DecodingThread noiseThread(noiseSource, noiseInfo);
    readToEnd(noiseThread);
}
