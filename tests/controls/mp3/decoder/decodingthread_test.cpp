#include "decodererror.h"
#include "decodertestsupport.h"
#include "decodingthread.h"
#include "filesource.h"
#include "frameheader.h"
#include "memorysource.h"
#include "mp3streamreader.h"

#include <algorithm>
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

    // The seek lands near the target, and the position leads what was read by at most the bound
    // the thread states.
    opened.thread.seek(2000);
    opened.thread.start();
    std::vector<std::uint8_t> buffer(4608);
    EXPECT_EQ(opened.thread.read(buffer.data(), buffer.size()), buffer.size());
    EXPECT_GE(opened.thread.positionMs(), 2000);
    EXPECT_LE(opened.thread.positionMs(), 2000 + (DecodingThread::pipeChunks + 1 + 2) * 576000.0 / 44100);
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

// Rounds of random read sizes, seeks before and during a run, and stops at random moments. A run
// delivers the stream from its start or seek target, each byte once and in order; after a seek
// during a run, the chunks already passed on (at most the pipe and one more), then the stream from
// the new target.
TEST(DecodingThread, RandomReadsSeeksAndStopsLoseNoByte)
{
    TempFolder folder;
    const std::string path = makeMp3(folder, "tone", "-r 44100 -c 2", 3, "-b 128");
    ASSERT_FALSE(path.empty());
    const std::int64_t targets[] = { -1, 700, 1500, 2600 };
    std::vector<std::vector<std::uint8_t>> streams;
    for (const std::int64_t target : targets) {
        Opened opened(path);
        if (target >= 0)
            opened.thread.seek(target);
        streams.push_back(readToEnd(opened.thread));
    }
    const std::size_t chunk = 2304;
    std::mt19937 random(2024);
    std::vector<std::uint8_t> buffer(30000);
    for (int round = 0; round < 1000; ++round) {
        SCOPED_TRACE(round);
        Opened opened(path);
        const std::size_t first = random() % std::size(targets);
        if (targets[first] >= 0)
            opened.thread.seek(targets[first]);
        const auto& expected = streams[first];
        opened.thread.start();
        for (std::size_t at = 0;;) {
            const unsigned action = random() % 40;
            if (action == 0) {
                opened.thread.stop();
                EXPECT_FALSE(opened.thread.active());
                break;
            }
            if (action == 1) {
                const std::size_t next = 1 + random() % (std::size(targets) - 1);
                opened.thread.seek(targets[next]);
                const auto rest = readToEnd(opened.thread);
                // The chunks already passed on continue the old stream up to a chunk boundary.
                const auto continues = [&](std::size_t end) {
                    return end <= expected.size() && end - at <= rest.size()
                        && std::equal(rest.begin(), rest.begin() + std::ptrdiff_t(end - at),
                            expected.begin() + std::ptrdiff_t(at));
                };
                bool found = std::equal(rest.begin(), rest.end(), expected.begin() + std::ptrdiff_t(at),
                    expected.end()); // the run ended before the thread took the seek up
                for (std::size_t end = (at + chunk - 1) / chunk * chunk;
                     !found && end <= at + (DecodingThread::pipeChunks + 2) * chunk; end += chunk) {
                    found = continues(end)
                        && std::equal(rest.begin() + std::ptrdiff_t(end - at), rest.end(),
                            streams[next].begin(), streams[next].end());
                }
                EXPECT_TRUE(found);
                break;
            }
            const std::size_t size = 1 + random() % buffer.size();
            const std::size_t n = action % 2 ? opened.thread.read(buffer.data(), size)
                                             : opened.thread.readSome(buffer.data(), size);
            ASSERT_LE(at + n, expected.size());
            ASSERT_TRUE(std::equal(
                buffer.begin(), buffer.begin() + std::ptrdiff_t(n), expected.begin() + std::ptrdiff_t(at)));
            at += n;
            if (n == 0) {
                EXPECT_EQ(at, expected.size());
                opened.thread.finish();
                break;
            }
        }
    }
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

    // A lone header in front of noise is no stream.
    std::vector<std::uint8_t> noise(300000);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    const std::uint8_t loneHeader[] = { 0xFF, 0xFB, 0x90, 0x00 };
    std::copy(std::begin(loneHeader), std::end(loneHeader), noise.begin());
    MemorySource loneSource(noise);
    EXPECT_THROW(readStream(loneSource), DecoderError);

    // Two frames of a stream, then noise: the thread ends without hanging.
    std::copy(bytes.begin(), bytes.begin() + 2000, noise.begin());
    MemorySource noiseSource(noise);
    const StreamInfo noiseInfo = readStream(noiseSource);
    DecodingThread noiseThread(noiseSource, noiseInfo);
    readToEnd(noiseThread);
}

namespace {

// A file made of pieces, decoded by the thread and compared with the reference decoder's output for
// each undamaged part decoded alone.
struct Assembled {
    std::vector<std::uint8_t> bytes;
    std::vector<std::vector<std::uint8_t>> parts;
};

std::vector<std::int16_t> referenceOf(const TempFolder& folder, const std::vector<std::uint8_t>& part)
{
    const std::string path = folder.file("part.mp3");
    writeBytes(path, part);
    return referencePcm(path);
}

// Samples lost (positive) or gained against the parts, in sample frames; the first part must match
// from the start and the last from the end, but for `margin` frames beside each joint or damaged
// spot, whose bit reservoir differs.
void expectWhole(const TempFolder& folder, const Assembled& file, int channels, std::size_t allowedFrames)
{
    MemorySource source(file.bytes);
    const StreamInfo info = readStream(source);
    DecodingThread thread(source, info);
    const auto ours = toSamples(readToEnd(thread));
    std::vector<std::int16_t> first;
    std::vector<std::int16_t> last;
    std::size_t expected = 0;
    for (std::size_t i = 0; i < file.parts.size(); ++i) {
        auto reference = referenceOf(folder, file.parts[i]);
        expected += reference.size();
        if (i == 0)
            first = reference;
        if (i + 1 == file.parts.size())
            last = std::move(reference);
    }
    const auto frames
        = [&](std::size_t samples) { return static_cast<long>(samples / std::size_t(channels)); };
    EXPECT_LE(std::abs(frames(expected) - frames(ours.size())), static_cast<long>(allowedFrames))
        << "expected " << frames(expected) << " frames, decoded " << frames(ours.size());
    const std::size_t margin = 4 * 1152 * std::size_t(channels);
    ASSERT_GT(first.size(), margin);
    ASSERT_GT(last.size(), margin);
    ASSERT_GE(ours.size(), last.size());
    first.resize(first.size() - margin);
    EXPECT_LE(maxDifference(first, ours), 1);
    const std::vector<std::int16_t> lastKept(last.begin() + static_cast<std::ptrdiff_t>(margin), last.end());
    const std::vector<std::int16_t> oursTail(
        ours.end() - static_cast<std::ptrdiff_t>(lastKept.size()), ours.end());
    EXPECT_LE(maxDifference(lastKept, oursTail), 1);
}

std::vector<std::uint8_t> concatenated(const std::vector<std::vector<std::uint8_t>>& pieces)
{
    std::vector<std::uint8_t> out;
    for (const auto& piece : pieces)
        out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

} // namespace

// Streams joined one after another decode whole: each second stream's Info frame is passed over and
// no frame count of an Info frame ends the decoding.
TEST(DecodingThread, JoinedStreamsDecodeWhole)
{
    TempFolder folder;
    const auto cbr = readBytes(makeMp3(folder, "cbr", "-D -r 44100 -c 2", 3, "-b 128", 440));
    const auto vbr = readBytes(makeMp3(folder, "vbr", "-D -r 44100 -c 2", 2, "-V 2", 660));
    const auto longer = readBytes(makeMp3(folder, "long", "-D -r 44100 -c 2", 8, "-b 128", 330));
    ASSERT_FALSE(cbr.empty() || vbr.empty() || longer.empty());
    const std::vector<std::vector<std::vector<std::uint8_t>>> joins
        = { { cbr, vbr }, { longer, vbr }, { cbr, vbr, cbr } };
    for (const auto& parts : joins) {
        SCOPED_TRACE(std::to_string(parts.size()) + " parts, " + std::to_string(parts.front().size())
            + " bytes first");
        expectWhole(folder, { concatenated(parts), parts }, 2, 0);
    }

    // An Info frame whose count says 100 frames in a file of some 170.
    auto miscounted = cbr;
    const auto info = std::search(miscounted.begin(), miscounted.end(), "Info", "Info" + 4);
    ASSERT_NE(info, miscounted.end());
    const std::uint8_t hundred[] = { 0, 0, 0, 100 };
    std::copy(std::begin(hundred), std::end(hundred), info + 8);
    expectWhole(folder, { miscounted, { cbr } }, 2, 0);
}

// Damage inside a stream costs at most one frame per damaged spot: random bursts, runs of zeros, and
// a stretch of another sample rate, after which the stream's own frames resume. The fixtures are
// made without dither, so that every run meets the same bytes.
TEST(DecodingThread, DamagedStreamsResynchronise)
{
    TempFolder folder;
    const auto stream = readBytes(makeMp3(folder, "stream", "-D -r 44100 -c 2", 8, "-b 128", 330));
    const auto other = readBytes(makeMp3(folder, "other", "-D -r 22050 -c 1", 1, "-b 32", 800));
    ASSERT_FALSE(stream.empty() || other.empty());
    std::mt19937 random(14);
    const auto noise = [&](std::size_t size) {
        std::vector<std::uint8_t> bytes(size);
        for (auto& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        return bytes;
    };
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> damages = {
        { "burst of 50", noise(50) },
        { "burst of 500", noise(500) },
        { "burst of 5000", noise(5000) },
        { "1000 zeros", std::vector<std::uint8_t>(1000) },
        { "another rate", other },
    };
    // Frame starts of the stream: damage goes 200 bytes into a frame, and the parts decoded alone
    // are the frames before that one and the frames after it.
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const FrameHeader header((std::uint32_t { stream[at] } << 24) | (stream[at + 1] << 16)
            | (stream[at + 2] << 8) | stream[at + 3]);
        if (!header.plausible() || header.frameLength() <= 0)
            break;
        starts.push_back(at);
        at += static_cast<std::size_t>(header.frameLength());
    }
    ASSERT_GT(starts.size(), 300u);
    for (const auto& [name, damage] : damages) {
        SCOPED_TRACE(name);
        const std::size_t frame = starts.size() / 3 + random() % 100;
        const auto at
            = [&](std::size_t offset) { return stream.begin() + static_cast<std::ptrdiff_t>(offset); };
        const std::vector<std::uint8_t> before(stream.begin(), at(starts[frame]));
        const std::vector<std::uint8_t> damaged(at(starts[frame]), at(starts[frame + 1]));
        const std::vector<std::uint8_t> after(at(starts[frame + 1]), stream.end());
        const std::vector<std::uint8_t> head(damaged.begin(), damaged.begin() + 200);
        const std::vector<std::uint8_t> rest(damaged.begin() + 200, damaged.end());
        expectWhole(
            folder, { concatenated({ before, head, damage, rest, after }), { before, after } }, 2, 1152);
    }
}

// Random bytes in front of the first frame are skipped however much they look like a header.
TEST(DecodingThread, JunkInFrontIsSkipped)
{
    TempFolder folder;
    const auto stream = readBytes(makeMp3(folder, "stream", "-D -r 44100 -c 2", 2, "-b 128 -t", 330));
    ASSERT_FALSE(stream.empty());
    std::mt19937 random(2);
    for (int round = 0; round < 30; ++round) {
        std::vector<std::uint8_t> bytes(3000);
        for (auto& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        bytes.insert(bytes.end(), stream.begin(), stream.end());
        MemorySource source(bytes);
        const StreamInfo info = readStream(source);
        ASSERT_EQ(info.firstFrameOffset, 3000u) << "round " << round;
        EXPECT_EQ(info.sampleRate, 44100);
        EXPECT_EQ(info.channels, 2);
    }
    // One frame alone is still a stream.
    MemorySource single(std::vector<std::uint8_t>(stream.begin(), stream.begin() + 417));
    EXPECT_EQ(readStream(single).sampleRate, 44100);
}
