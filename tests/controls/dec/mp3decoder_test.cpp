#include "dectestsupport.h"

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace dectest;

namespace {

class Mp3Decoder : public DecoderFixture {
protected:
    Mp3Decoder()
        : DecoderFixture(CLSID_VlsMP3Decoder, "Aurikit.MP3Decoder.1")
    {
    }

    // The largest difference between the decoder's samples and the reference decoder's.
    static int worstDifference(
        const std::vector<std::int16_t>& samples, const std::vector<std::int16_t>& reference)
    {
        EXPECT_EQ(samples.size(), reference.size());
        int worst = 0;
        for (std::size_t i = 0; i < std::min(samples.size(), reference.size()); ++i)
            worst = std::max(worst, std::abs(int(samples[i]) - int(reference[i])));
        return worst;
    }
};

// The MPEG Layer-3 wave record of a 128 kbit/s stream: the PCM fields, then cbSize 12 and the
// MPEGLAYER3WAVEFORMAT fields (id 1, padding flags 2, block size 417, 1 frame per block, codec
// delay 1393).
std::vector<std::uint8_t> mpegLayer3Record(std::uint16_t channels, std::uint32_t rate)
{
    std::vector<std::uint8_t> extra;
    putLe(extra, 12, 2);
    putLe(extra, 1, 2);
    putLe(extra, 2, 4);
    putLe(extra, 417, 2);
    putLe(extra, 1, 2);
    putLe(extra, 1393, 2);
    return formatRecord(85, channels, rate, 16000, 1, 0, extra);
}

// Lowers the limit of the process's address space to what it maps now and a little more while it
// lives: a small allocation still succeeds, but no thread's stack can be mapped.
class AddressSpaceLimit {
public:
    AddressSpaceLimit()
    {
        ::getrlimit(RLIMIT_AS, &m_saved);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit lowered = m_saved;
        lowered.rlim_cur = static_cast<rlim_t>(pages * ::sysconf(_SC_PAGESIZE) + (4 << 20));
        EXPECT_EQ(::setrlimit(RLIMIT_AS, &lowered), 0);
    }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;
    ~AddressSpaceLimit() { ::setrlimit(RLIMIT_AS, &m_saved); }

private:
    rlimit m_saved {};
};

} // namespace

// An MP3 file decodes as the MP3 decoder control of vlsmp3x1 decodes it: the stream's own format
// at 16 bits, samples within 1 of the reference decoder's, its tags, and 0 after the end.
TEST_F(Mp3Decoder, DecodesLikeTheReference)
{
    const std::string path = makeMp3(
        m_folder, "tone", "-r 44100 -c 2", 3, "-b 128 -t --id3v1-only --tt Song --ta Singer --tn 3");
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(open(path), S_OK) << errorText();
    const WAVEFORMATEX f = format();
    EXPECT_EQ(f.wFormatTag, 1);
    EXPECT_EQ(f.nChannels, 2);
    EXPECT_EQ(f.nSamplesPerSec, 44100U);
    EXPECT_EQ(f.nAvgBytesPerSec, 176400U);
    EXPECT_EQ(f.nBlockAlign, 4);
    EXPECT_EQ(f.wBitsPerSample, 16);
    EXPECT_EQ(f.cbSize, 0);
    EXPECT_EQ(bitrate(), 128000);
    EXPECT_EQ(duration(), 3);
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"Song");
    EXPECT_EQ(tag(&IAudioTag::get_Artist), u"Singer");
    EXPECT_EQ(tag(&IAudioTag::get_TrackNo), u"3");
    EXPECT_LE(worstDifference(toSamples(readAll(4097)), referencePcm(path)), 1);
    EXPECT_EQ(position(), 3);
    EXPECT_TRUE(readAll().empty());
}

// A RIFF/WAVE file whose format tag is 85 decodes its "data" chunk as the MP3 stream it holds;
// chunks after the data are not decoded. A wave of another format tag holds no MP3 stream.
TEST_F(Mp3Decoder, OpensMpegLayer3Waves)
{
    const std::string mp3 = makeMp3(m_folder, "tone", "-r 22050 -c 1", 2, "-b 64 -t");
    ASSERT_FALSE(mp3.empty());
    const auto stream = readBytes(mp3);
    const std::vector<std::uint8_t> trailing(3000, 0xFF);
    writeBytes(m_folder.file("wrapped.wav"),
        riffWave({ riffChunk("fmt ", mpegLayer3Record(1, 22050)), riffChunk("data", stream),
            riffChunk("LIST", trailing) }));
    ASSERT_EQ(open(m_folder.file("wrapped.wav")), S_OK) << errorText();
    EXPECT_EQ(format().nChannels, 1);
    EXPECT_EQ(format().nSamplesPerSec, 22050U);
    EXPECT_EQ(bitrate(), 64000);
    EXPECT_EQ(duration(), 2);
    const auto wrapped = toSamples(readAll());
    ASSERT_EQ(open(mp3), S_OK);
    EXPECT_EQ(wrapped, toSamples(readAll()));
    EXPECT_LE(worstDifference(wrapped, referencePcm(mp3)), 1);

    writeBytes(m_folder.file("adpcm.wav"),
        riffWave({ riffChunk("fmt ", formatRecord(2, 1, 22050, 11100, 512, 4, { 2, 0, 0xF4, 0x03 })),
            riffChunk("data", stream) }));
    EXPECT_EQ(open(m_folder.file("adpcm.wav")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("MP3 stream not found in file."));
}

// Seek moves the decoding thread to the sought second before its first chunk; Position reports it
// and grows with the output; after the end a Seek plays again from there.
TEST_F(Mp3Decoder, SeekAndPosition)
{
    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 2", 4, "-b 128 -t");
    ASSERT_EQ(open(path), S_OK);
    std::vector<std::uint8_t> buffer(4608);
    std::int32_t got = 0;
    EXPECT_EQ(m_decoder->Seek(3), S_OK);
    ASSERT_EQ(m_decoder->Read(buffer.data(), 4608, &got), S_OK);
    EXPECT_EQ(position(), 3);
    const auto rest = readAll();
    EXPECT_NEAR(double(rest.size()) / 4, 44100, 44100 * 0.05);
    EXPECT_TRUE(readAll().empty()) << "a Read after the end gives 0 again";
    EXPECT_EQ(m_decoder->put_Position(2), S_OK);
    EXPECT_NEAR(double(readAll().size()) / 4, 2 * 44100, 44100 * 0.05);
}

// The output format converts through the PCM format converter before the first Read of a run.
TEST_F(Mp3Decoder, OutputFormatConversion)
{
    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 2", 2, "-b 128 -t", 1000);
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(1, 22050, 8), S_OK);
    const WAVEFORMATEX f = format();
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 22050U);
    EXPECT_EQ(f.wBitsPerSample, 8);
    EXPECT_EQ(f.nBlockAlign, 1);
    std::uint8_t first[100];
    std::int32_t got = 0;
    ASSERT_EQ(m_decoder->Read(first, 100, &got), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(2, 0, 0), E_UNEXPECTED);
    const auto bytes = readAll();
    EXPECT_NEAR(double(bytes.size() + 100), double(referencePcm(path).size()) / 4, 40);
    std::vector<std::int16_t> widened;
    for (const std::uint8_t b : bytes)
        widened.push_back(static_cast<std::int16_t>((b - 128) * 256));
    EXPECT_NEAR(crossingFrequency(widened, 1, 0, 22050), 1000, 3);
}

// Files without an MP3 stream fail Open with the MP3 decoder's messages under this class's ProgID.
TEST_F(Mp3Decoder, Errors)
{
    EXPECT_EQ(open(m_folder.file("missing.mp3")), HRESULT(0x80070002));
    writeBytes(m_folder.file("short.mp3"), { 1, 2, 3 });
    EXPECT_EQ(open(m_folder.file("short.mp3")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Unexpected end of file."));
    writeBytes(m_folder.file("zeros.mp3"), std::vector<std::uint8_t>(70000, 0));
    EXPECT_EQ(open(m_folder.file("zeros.mp3")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("MP3 stream not found in file."));
}

// A Read whose decoding thread cannot start returns the system error and fires OnError with its
// text; the next Read after the cause is gone decodes.
TEST_F(Mp3Decoder, FailedReadFiresOnError)
{
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers reserve far more address space than the limit leaves.
    GTEST_SKIP() << "needs a bounded address space";
#endif
    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 1", 1, "-b 64 -t");
    ASSERT_EQ(open(path), S_OK);
    ErrorListener listener(m_decoder.get());
    std::vector<std::uint8_t> buffer(4096);
    std::int32_t got = 0;
    HRESULT hr = S_OK;
    {
        const AddressSpaceLimit limit;
        hr = m_decoder->Read(buffer.data(), 4096, &got);
    }
    EXPECT_EQ(hr, HRESULT(0x8007000B)) << "EAGAIN";
    EXPECT_EQ(got, 0);
    EXPECT_EQ(listener.texts(), std::vector<std::string> { "Read error: Resource temporarily unavailable" });
    EXPECT_LE(worstDifference(toSamples(readAll()), referencePcm(path)), 1);
}

// Close and release in the middle of a stream stop and join the decoding thread.
TEST_F(Mp3Decoder, CloseAndReleaseMidStream)
{
    const std::string path = makeMp3(m_folder, "tone", "-r 44100 -c 2", 5, "-b 128 -t");
    ASSERT_EQ(open(path), S_OK);
    std::vector<std::uint8_t> buffer(1000);
    std::int32_t got = 0;
    ASSERT_EQ(m_decoder->Read(buffer.data(), 1000, &got), S_OK);
    EXPECT_EQ(m_decoder->Close(), S_OK);
    EXPECT_EQ(m_decoder->Read(buffer.data(), 1000, &got), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Read error: file is not open."));
    ASSERT_EQ(open(path), S_OK);
    ASSERT_EQ(m_decoder->Read(buffer.data(), 1000, &got), S_OK);
    m_decoder.reset();
}
