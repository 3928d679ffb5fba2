#include "bytepipe.h"
#include "encodererror.h"
#include "engineadapter.h"
#include "lamebinding.h"
#include "mp3encoder.h"
#include "mp3testsupport.h"

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace vlsmp3;
using mp3test::readBytes;
using mp3test::TempFolder;
using mp3test::tone;

namespace {
template <class Call> std::string failureOf(Call&& call)
{
    try {
        call();
    } catch (const EncoderError& error) {
        return error.message();
    }
    return {};
}

OverwriteQuestion answer(OverwriteAnswer value, int* asked = nullptr)
{
    return [value, asked] {
        if (asked)
            ++*asked;
        return value;
    };
}

// Collects what the encoding thread reports.
class ErrorLog {
public:
    EncoderErrorSink sink()
    {
        return [this](EncoderMessage, const std::string& message) {
            const std::lock_guard lock(m_mutex);
            m_messages.push_back(message);
            m_changed.notify_all();
        };
    }
    // Waits until a message arrived (or 10 s passed).
    std::vector<std::string> waitForOne()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return !m_messages.empty(); });
        return m_messages;
    }
    std::vector<std::string> messages()
    {
        const std::lock_guard lock(m_mutex);
        return m_messages;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_messages;
};

void writeAllOf(Mp3Encoder& encoder, const std::vector<std::uint8_t>& pcm, std::size_t piece)
{
    for (std::size_t at = 0; at < pcm.size(); at += piece)
        encoder.write(pcm.data() + at, std::min(piece, pcm.size() - at));
}

bool descriptorOpen(int fd)
{
    return ::fcntl(fd, F_GETFD) != -1;
}
} // namespace

class Mp3EncoderTest : public ::testing::Test {
protected:
    Mp3Encoder encoder { LameBinding::bound() };
    TempFolder folder;
};

// The input format checks channels, then bits, then the rate; a failure keeps the old format.
TEST_F(Mp3EncoderTest, InputFormatChecksInOrder)
{
    EXPECT_EQ(failureOf([&] { encoder.setInputFormat(3, 44000, 16); }), "Input must have 1 or 2 channels.");
    EXPECT_EQ(
        failureOf([&] { encoder.setInputFormat(2, 44000, 12); }), "Input must have 8 or 16 bits per sample.");
    EXPECT_EQ(failureOf([&] { encoder.setInputFormat(2, 44000, 16); }),
        "Wrong input sample rate. Possible values are: 8000, 11025, 12000, 16000, 22050, 24000, 32000, "
        "44100, "
        "48000.");
    EXPECT_EQ(encoder.inputFormat().nSamplesPerSec, 44100U);
    encoder.setInputFormat(1, 22050, 8);
    const WaveFormat& format = encoder.inputFormat();
    EXPECT_EQ(format.wFormatTag, 1);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.nSamplesPerSec, 22050U);
    EXPECT_EQ(format.nAvgBytesPerSec, 22050U);
    EXPECT_EQ(format.nBlockAlign, 1);
    EXPECT_EQ(format.wBitsPerSample, 8);
    EXPECT_EQ(format.cbSize, 0);
}

// The record form checks the format tag first and copies every field as given.
TEST_F(Mp3EncoderTest, InputFormatRecordIsCopiedAsGiven)
{
    EXPECT_EQ(failureOf([&] {
        encoder.setInputFormatWfx({ 2, 3, 44000, 0, 0, 12, 0 });
    }),
        "Only uncompressed PCM wave format is supported.");
    EXPECT_EQ(failureOf([&] {
        encoder.setInputFormatWfx({ 1, 3, 44100, 0, 0, 16, 0 });
    }),
        "Input must have 1 or 2 channels.");
    encoder.setInputFormatWfx({ 1, 2, 48000, 12345, 7, 16, 22 });
    const WaveFormat& format = encoder.inputFormat();
    EXPECT_EQ(format.nAvgBytesPerSec, 12345U);
    EXPECT_EQ(format.nBlockAlign, 7);
    EXPECT_EQ(format.cbSize, 22);
}

// Output modes accept their documented ranges, both ends included.
TEST_F(Mp3EncoderTest, OutputModesCheckTheirValues)
{
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatVbr(0.0F); }), "");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatVbr(1.0F); }), "");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatVbr(-0.01F); }), "fQuality must be between 0 and 1.");
    EXPECT_EQ(
        failureOf([&] { encoder.setOutputFormatVbr(std::nanf("")); }), "fQuality must be between 0 and 1.");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatAbr(80000); }), "");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatAbr(320000); }), "");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatAbr(79999); }),
        "Bitrate must be between 80000 and 320000 in ABR mode.");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatAbr(320001); }),
        "Bitrate must be between 80000 and 320000 in ABR mode.");
    encoder.setInputFormat(1, 8000, 16);
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatCbr(40000); }), "");
    EXPECT_EQ(failureOf([&] { encoder.setOutputFormatCbr(100000); }),
        "Wrong bitrate specified for this input format.");
}

// ".mp3" is added unless the name ends in it in any case.
TEST_F(Mp3EncoderTest, OpenAddsTheExtension)
{
    encoder.open(folder.file("song"), {});
    EXPECT_EQ(encoder.fileName(), folder.file("song.mp3"));
    encoder.open(folder.file("SONG.MP3"), {});
    EXPECT_EQ(encoder.fileName(), folder.file("SONG.MP3"));
    encoder.setAddExtension(false);
    encoder.open(folder.file("plain"), {});
    EXPECT_EQ(encoder.fileName(), folder.file("plain"));
    encoder.close();
    EXPECT_TRUE(std::filesystem::exists(folder.file("song.mp3")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("plain")));
}

// An existing file is replaced only on Yes; No leaves the file and no output open; with the
// prompt off it is replaced without a question.
TEST_F(Mp3EncoderTest, OverwriteAsksFirst)
{
    const std::string path = folder.file("song.mp3");
    mp3test::writeBytes(path, { 1, 2, 3 });
    int asked = 0;
    EXPECT_EQ(
        failureOf([&] { encoder.open(path, answer(OverwriteAnswer::No, &asked)); }), "Cancelled by user.");
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(encoder.isOpen());
    EXPECT_EQ(readBytes(path).size(), 3U);
    // Without anyone to ask, the answer is No.
    EXPECT_EQ(failureOf([&] { encoder.open(path, {}); }), "Cancelled by user.");

    encoder.open(path, answer(OverwriteAnswer::Yes, &asked));
    EXPECT_EQ(asked, 2);
    encoder.close();
    EXPECT_EQ(readBytes(path).size(), 0U);

    mp3test::writeBytes(path, { 1, 2, 3 });
    encoder.setOverwritePrompt(false);
    encoder.open(path, answer(OverwriteAnswer::No, &asked));
    EXPECT_EQ(asked, 2);
    encoder.close();
    EXPECT_EQ(readBytes(path).size(), 0U);
}

// A folder that cannot hold the file gives #3 with the system's text.
TEST_F(Mp3EncoderTest, UnwritableFolderGivesMessage3)
{
    mp3test::writeBytes(folder.file("file"), { 0 });
    EXPECT_EQ(failureOf([&] { encoder.open(folder.file("file/song.mp3"), {}); }),
        "Internal error #3. Cannot create file. System error message: Not a directory.");
    EXPECT_FALSE(encoder.isOpen());
}

// Writes, names and closes follow the open state.
TEST_F(Mp3EncoderTest, OperationsFollowTheOpenState)
{
    const std::uint8_t byte = 0;
    EXPECT_EQ(failureOf([&] { encoder.write(&byte, 1); }), "Error: cannot write: file is not open.");
    EXPECT_EQ(
        failureOf([&] { (void)encoder.fileName(); }), "Error: cannot access property: file is not open.");
    EXPECT_NO_THROW(encoder.close());
    EXPECT_EQ(failureOf([&] { encoder.openHandle(-1); }),
        "Internal error #4. Null handle passed to OpenHandle method.");
    EXPECT_FALSE(encoder.isOpen());
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    encoder.openHandle(ends[1]);
    EXPECT_EQ(encoder.fileName(), "<Custom Application Handle>");
    encoder.close();
    EXPECT_EQ(
        failureOf([&] { (void)encoder.fileName(); }), "Error: cannot access property: file is not open.");
    // The caller's descriptor stays open even when nothing was written.
    EXPECT_TRUE(descriptorOpen(ends[1]));
    ::close(ends[0]);
    ::close(ends[1]);
}

// Closing right after opening leaves an empty file, tags or not.
TEST_F(Mp3EncoderTest, CloseWithoutWriteLeavesAnEmptyFile)
{
    encoder.tags().title = u"Song";
    encoder.open(folder.file("empty"), {});
    encoder.close();
    EXPECT_EQ(readBytes(folder.file("empty.mp3")).size(), 0U);
}

// The configuration record reflects the settings read when the first write starts the stream.
TEST_F(Mp3EncoderTest, FirstWriteStartsTheStreamWithTheSettings)
{
    // The record's fields are packed: copied out by value.
    struct Seen {
        std::uint32_t rate, resample, bitrate;
        std::int32_t mode, preset, vbrHeader;
    };
    std::vector<Seen> seen;
    encoder.setConfigInspector([&](const BE_CONFIG& record) {
        seen.push_back({ record.dwSampleRate, record.dwReSampleRate, record.dwBitrate, record.nMode,
            record.nPreset, record.bWriteVBRHeader });
    });
    encoder.setInputFormat(2, 22050, 8);
    encoder.setOutputFormatCbr(192000);
    encoder.forceEncodedSamplerate(16000);
    encoder.open(folder.file("a"), {});
    const auto pcm = tone(440.0, 22050, 2, 8, 4410);
    encoder.write(pcm.data(), pcm.size());
    // Later changes wait for the next stream.
    encoder.setOutputFormatVbr(0.0F);
    encoder.write(pcm.data(), pcm.size());
    encoder.close();
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].rate, 22050U);
    EXPECT_EQ(seen[0].resample, 16000U);
    EXPECT_EQ(seen[0].mode, 0);
    EXPECT_EQ(seen[0].bitrate, 96U);
    EXPECT_EQ(seen[0].preset, 2);
    EXPECT_EQ(seen[0].vbrHeader, 1);

    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    encoder.openHandle(ends[1]);
    std::thread drain([&] {
        std::vector<char> buffer(65536);
        while (::read(ends[0], buffer.data(), buffer.size()) > 0) { }
    });
    encoder.write(pcm.data(), pcm.size());
    encoder.close();
    ::close(ends[1]);
    drain.join();
    ::close(ends[0]);
    ASSERT_EQ(seen.size(), 2U);
    EXPECT_EQ(seen[1].preset, 13);
    EXPECT_EQ(seen[1].vbrHeader, 0);
}

// Unsigned 8-bit samples widen to signed 16-bit.
TEST(EncodingThread, WidensEightBitSamples)
{
    EXPECT_EQ(EncodingThread::widen(128), 0);
    EXPECT_EQ(EncodingThread::widen(0), -32768);
    EXPECT_EQ(EncodingThread::widen(255), 32512);
    EXPECT_EQ(EncodingThread::widen(129), 256);
}

// An engine that refuses a chunk ends the thread with #19 (16-bit) or #17 (8-bit input), and the
// pipe's reader is gone, so the writer learns of it.
TEST(EncodingThread, EngineFailureEndsTheThread)
{
    for (const std::uint16_t bits : { 16, 8 }) {
        EngineAdapter engine(LameBinding::bound()); // no stream started: every chunk is refused
        BytePipe pipe(0);
        ErrorLog log;
        std::vector<std::uint8_t> output(8192);
        std::vector<std::int16_t> conversion(2304);
        int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(devNull, 0);
        {
            EncodingThread thread(
                { &engine, &pipe, devNull, 2304, output.data(), conversion.data(), bits, 2, log.sink() });
            const std::vector<std::uint8_t> pcm(4096, 0x80);
            EXPECT_EQ(pipe.write(pcm.data(), pcm.size()), 0);
            thread.wait();
        }
        EXPECT_EQ(log.messages(),
            std::vector<std::string> { bits == 16 ? "Internal error #19. Encoding failed."
                                                  : "Internal error #17. Encoding failed." });
        const std::uint8_t byte = 0;
        EXPECT_NE(pipe.write(&byte, 1), 0);
        ::close(devNull);
    }
}

// Bytes split anywhere, even inside a sample or a stereo frame, encode exactly as whole blocks do.
TEST_F(Mp3EncoderTest, SplitsAnywhereGiveTheSameFile)
{
    encoder.setOverwritePrompt(false);
    for (const int bits : { 16, 8 }) {
        encoder.setInputFormat(2, 44100, bits);
        const auto pcm = tone(1000.0, 44100, 2, bits, 44100);
        encoder.open(folder.file("whole"), {});
        encoder.write(pcm.data(), pcm.size());
        encoder.close();
        encoder.open(folder.file("split"), {});
        std::size_t at = 0;
        for (std::size_t piece = 1; at < pcm.size(); piece = piece % 7 + 2) {
            const std::size_t count = std::min(piece * 37, pcm.size() - at);
            encoder.write(pcm.data() + at, count);
            at += count;
        }
        encoder.close();
        EXPECT_EQ(readBytes(folder.file("split.mp3")), readBytes(folder.file("whole.mp3")))
            << bits << " bits";
    }
}

// A file output: ID3v2 tag in front, the frames with the VBR header, the ID3v1 trailer at the end.
TEST_F(Mp3EncoderTest, FileCarriesBothTagsAndTheVbrHeader)
{
    TagFields& tags = encoder.tags();
    tags.title = u"Song";
    tags.genre = u"Rock";
    encoder.open(folder.file("tagged"), {});
    writeAllOf(encoder, tone(440.0, 44100, 2, 16, 44100), 10000);
    encoder.close();
    const auto bytes = readBytes(folder.file("tagged.mp3"));
    ASSERT_GT(bytes.size(), 1024U + 128U);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "ID3");
    const auto walk = mp3test::walkFrames(bytes, 1024);
    EXPECT_EQ(walk.headerKind, "Xing");
    EXPECT_EQ(walk.end, bytes.size() - 128);
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
    EXPECT_EQ(bytes.back(), 17);
    EXPECT_FALSE(std::filesystem::exists(folder.file("tagged.mp~")));
    // The tags stay with the encoder for the next file.
    EXPECT_EQ(encoder.tags().title, u"Song");
}

// Without tags the file holds the frames alone; a tag too large for ID3v2 still gets ID3v1.
TEST_F(Mp3EncoderTest, TagsOnlyWhereTheyFit)
{
    encoder.open(folder.file("bare"), {});
    writeAllOf(encoder, tone(440.0, 44100, 2, 16, 22050), 4096);
    encoder.close();
    auto bytes = readBytes(folder.file("bare.mp3"));
    EXPECT_EQ(mp3test::walkFrames(bytes, 0).end, bytes.size());

    encoder.tags().comment = std::u16string(20000, u'c');
    encoder.open(folder.file("big"), {});
    writeAllOf(encoder, tone(440.0, 44100, 2, 16, 22050), 4096);
    encoder.close();
    bytes = readBytes(folder.file("big.mp3"));
    EXPECT_EQ(mp3test::walkFrames(bytes, 0).end, bytes.size() - 128);
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
    EXPECT_EQ(std::string(bytes.end() - 31, bytes.end() - 1), std::string(30, 'c'));
}

// A descriptor output gets the frames alone (no tags, no VBR header) and stays open.
TEST_F(Mp3EncoderTest, HandleModeWritesFramesOnly)
{
    encoder.tags().title = u"Song";
    const std::string path = folder.file("handle.mp3");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    encoder.openHandle(fd);
    writeAllOf(encoder, tone(440.0, 44100, 2, 16, 44100), 8192);
    encoder.close();
    EXPECT_TRUE(descriptorOpen(fd));
    ::close(fd);
    const auto bytes = readBytes(path);
    const auto walk = mp3test::walkFrames(bytes, 0);
    EXPECT_GT(walk.frames, 30U);
    EXPECT_EQ(walk.end, bytes.size());
    EXPECT_EQ(walk.headerKind, "");
}

// A full device: the thread reports #20, later writes fail with #9, and Close fails with #11 while
// releasing everything. The process is not stopped by any signal.
TEST_F(Mp3EncoderTest, FullDeviceReportsAndReleases)
{
    ErrorLog log;
    encoder.setErrorSink(log.sink());
    encoder.setAddExtension(false);
    encoder.setOverwritePrompt(false);
    encoder.open("/dev/full", {});
    const auto pcm = tone(440.0, 44100, 2, 16, 44100);
    encoder.write(pcm.data(), pcm.size());
    const auto messages = log.waitForOne();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0], "Internal error #20. Cannot write. System error message: No space left on device");
    std::string failure;
    for (int i = 0; i < 1000 && failure.empty(); ++i)
        failure = failureOf([&] { encoder.write(pcm.data(), 4096); });
    EXPECT_EQ(failure.rfind("Internal error #9. Pipe broken. System error message: ", 0), 0U) << failure;
    EXPECT_EQ(failureOf([&] { encoder.close(); }),
        "Internal error #11. Write error. System error message: No space left on device.");
    EXPECT_FALSE(encoder.isOpen());
    EXPECT_EQ(log.messages().size(), 1U);
}

// A descriptor whose reader has gone: #20 from the thread, no SIGPIPE, the caller's end left open.
TEST_F(Mp3EncoderTest, ClosedReaderReportsWithoutSignal)
{
    ErrorLog log;
    encoder.setErrorSink(log.sink());
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    ::close(ends[0]);
    encoder.openHandle(ends[1]);
    const auto pcm = tone(440.0, 44100, 2, 16, 44100);
    encoder.write(pcm.data(), pcm.size());
    const auto messages = log.waitForOne();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0], "Internal error #20. Cannot write. System error message: Broken pipe");
    EXPECT_EQ(failureOf([&] { encoder.close(); }),
        "Internal error #11. Write error. System error message: Broken pipe.");
    EXPECT_TRUE(descriptorOpen(ends[1]));
    ::close(ends[1]);
}

// 8-bit input reports its write failures under its own number.
TEST_F(Mp3EncoderTest, EightBitWriteFailureIs18)
{
    ErrorLog log;
    encoder.setErrorSink(log.sink());
    encoder.setInputFormat(1, 44100, 8);
    encoder.setAddExtension(false);
    encoder.setOverwritePrompt(false);
    encoder.open("/dev/full", {});
    const auto pcm = tone(440.0, 44100, 1, 8, 44100);
    encoder.write(pcm.data(), pcm.size());
    const auto messages = log.waitForOne();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0], "Internal error #18. Cannot write. System error message: No space left on device");
    EXPECT_NE(failureOf([&] { encoder.close(); }), "");
}

// An encoder destroyed with its output open finishes the file as Close would.
TEST(Mp3EncoderLifetime, DestructionFinishesTheFile)
{
    TempFolder folder;
    {
        Mp3Encoder encoder(LameBinding::bound());
        encoder.tags().artist = u"Artist";
        encoder.open(folder.file("left"), {});
        writeAllOf(encoder, tone(440.0, 44100, 2, 16, 44100), 4096);
    }
    const auto bytes = readBytes(folder.file("left.mp3"));
    ASSERT_GT(bytes.size(), 1024U + 128U);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3), "ID3");
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
}
