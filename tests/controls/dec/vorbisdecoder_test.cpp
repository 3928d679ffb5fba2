#include "dectestsupport.h"

using namespace dectest;

namespace {

class VorbisDecoder : public DecoderFixture {
protected:
    VorbisDecoder()
        : DecoderFixture(CLSID_VlsVorbisDecoder, "Aurikit.VorbisDecoder.1")
    {
    }

    // An Ogg Vorbis tone made by ffmpeg (metadata: further ffmpeg arguments); "" when it failed.
    std::string makeOgg(const std::string& name, int rate, int channels, double seconds,
        const std::string& metadata = "", int frequency = 440)
    {
        const std::string path = m_folder.file(name);
        const CommandResult ffmpeg
            = run("ffmpeg -v error -y -f lavfi -i sine=frequency=" + std::to_string(frequency)
                + ":sample_rate=" + std::to_string(rate) + ":duration=" + std::to_string(seconds) + " -ac "
                + std::to_string(channels) + " -c:a libvorbis " + metadata + " " + quoted(path) + " 2>&1");
        return ffmpeg.status == 0 ? path : "";
    }
};

} // namespace

// Mono and stereo files decode to the 16-bit samples sox reads from them (through the same
// library), at the stream's own rate and channels.
TEST_F(VorbisDecoder, DecodesLikeSox)
{
    for (const auto& [rate, channels] : { std::pair { 22050, 1 }, std::pair { 44100, 2 } }) {
        SCOPED_TRACE(std::to_string(rate) + " Hz, " + std::to_string(channels) + " channels");
        const std::string path = makeOgg("tone.ogg", rate, channels, 2.5);
        ASSERT_FALSE(path.empty());
        ASSERT_EQ(open(path), S_OK) << errorText();
        const WAVEFORMATEX f = format();
        EXPECT_EQ(f.wFormatTag, 1);
        EXPECT_EQ(f.nChannels, channels);
        EXPECT_EQ(f.nSamplesPerSec, std::uint32_t(rate));
        EXPECT_EQ(f.nAvgBytesPerSec, std::uint32_t(rate * channels * 2));
        EXPECT_EQ(f.nBlockAlign, channels * 2);
        EXPECT_EQ(f.wBitsPerSample, 16);
        EXPECT_EQ(f.cbSize, 0);
        EXPECT_EQ(duration(), 2);
        // The average over the audio pages: above 0, below the whole file's size over its length.
        EXPECT_GT(bitrate(), 0);
        EXPECT_LT(bitrate(), readBytes(path).size() * 8 / 2.5);
        const auto expected = soxRaw(path, "-e signed -b 16");
        EXPECT_EQ(expected.size(), std::size_t(rate * 2.5) * channels * 2);
        EXPECT_EQ(readAll(4099), expected);
        EXPECT_EQ(position(), 2);
        EXPECT_TRUE(readAll().empty());
    }
}

// Reads smaller than a sample frame deliver the same bytes as large ones.
TEST_F(VorbisDecoder, SmallReadsDeliverTheSameBytes)
{
    const std::string path = makeOgg("tone.ogg", 8000, 2, 0.5);
    ASSERT_EQ(open(path), S_OK);
    const auto whole = readAll();
    ASSERT_EQ(m_decoder->Seek(0), S_OK);
    EXPECT_EQ(readAll(3), whole);
    ASSERT_EQ(m_decoder->Seek(0), S_OK);
    EXPECT_EQ(readAll(1), whole);
}

// The Vorbis comments fill the tag fields (UTF-8 text; ffmpeg writes the comment as DESCRIPTION).
TEST_F(VorbisDecoder, CommentsBecomeTagFields)
{
    const std::string path = makeOgg("tagged.ogg", 22050, 1, 1,
        "-metadata title='Tïtle ☂' -metadata artist=Singer -metadata album=Record -metadata date=2021 "
        "-metadata genre=Rock -metadata track=7 -metadata comment='A comment'");
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"Tïtle ☂");
    EXPECT_EQ(tag(&IAudioTag::get_Artist), u"Singer");
    EXPECT_EQ(tag(&IAudioTag::get_Album), u"Record");
    EXPECT_EQ(tag(&IAudioTag::get_Year), u"2021");
    EXPECT_EQ(tag(&IAudioTag::get_Genre), u"Rock");
    EXPECT_EQ(tag(&IAudioTag::get_TrackNo), u"7");
    EXPECT_EQ(tag(&IAudioTag::get_Comment), u"A comment");

    ASSERT_EQ(open(makeOgg("plain.ogg", 22050, 1, 1)), S_OK);
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"") << "a file without comments clears the fields";
    EXPECT_EQ(tag(&IAudioTag::get_Comment), u"");
}

// Seek moves to the sought second at the next Read; Position follows the delivered samples.
TEST_F(VorbisDecoder, SeekAndPosition)
{
    const std::string path = makeOgg("tone.ogg", 44100, 2, 4);
    ASSERT_EQ(open(path), S_OK);
    const auto all = soxRaw(path, "-e signed -b 16");
    EXPECT_EQ(m_decoder->Seek(3), S_OK);
    EXPECT_EQ(position(), 3);
    const auto rest = readAll();
    ASSERT_EQ(rest.size(), 176400U);
    int worst = 0;
    const auto restSamples = toSamples(rest);
    const auto allSamples = toSamples(all);
    for (std::size_t i = 0; i < restSamples.size(); ++i)
        worst = std::max(worst, std::abs(restSamples[i] - allSamples[3 * 88200 + i]));
    EXPECT_LE(worst, 2) << "decoding from a seek point settles at once";
    EXPECT_EQ(m_decoder->put_Position(1), S_OK);
    std::vector<std::uint8_t> buffer(176400);
    std::int32_t got = 0;
    ASSERT_EQ(m_decoder->Read(buffer.data(), 176400, &got), S_OK);
    EXPECT_EQ(got, 176400);
    EXPECT_EQ(position(), 2);
    EXPECT_EQ(m_decoder->Seek(100), S_OK);
    EXPECT_EQ(position(), 4);
    EXPECT_TRUE(readAll().empty());
}

// The output format converts through the PCM format converter before the first Read of a run.
TEST_F(VorbisDecoder, OutputFormatConversion)
{
    const std::string path = makeOgg("tone.ogg", 44100, 2, 2, "", 1000);
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(1, 11025, 0), S_OK);
    EXPECT_EQ(format().nChannels, 1);
    EXPECT_EQ(format().nSamplesPerSec, 11025U);
    EXPECT_EQ(format().wBitsPerSample, 16);
    std::uint8_t first[100];
    std::int32_t got = 0;
    ASSERT_EQ(m_decoder->Read(first, 100, &got), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(2, 0, 0), E_UNEXPECTED);
    const auto samples = toSamples(readAll());
    EXPECT_NEAR(double(samples.size() + 50), 2.0 * 11025, 40);
    EXPECT_NEAR(crossingFrequency(samples, 1, 0, 11025), 1000, 3);
}

// Files that are not Vorbis, or whose stream has more than two channels, fail Open; a file cut
// short decodes what it holds.
TEST_F(VorbisDecoder, HostileFiles)
{
    EXPECT_EQ(open(m_folder.file("missing.ogg")), HRESULT(0x80070002));
    std::vector<std::uint8_t> noise(20000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 131 + 7);
    writeBytes(m_folder.file("noise.ogg"), noise);
    EXPECT_EQ(open(m_folder.file("noise.ogg")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Not a valid Ogg Vorbis file."));
    writeBytes(m_folder.file("empty.ogg"), {});
    EXPECT_EQ(open(m_folder.file("empty.ogg")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Not a valid Ogg Vorbis file."));
    const std::string mp3 = makeMp3(m_folder, "tone", "-r 44100 -c 1", 1, "-b 64 -t");
    EXPECT_EQ(open(mp3), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Not a valid Ogg Vorbis file."));

    const std::string three = makeOgg("three.ogg", 8000, 3, 1);
    ASSERT_FALSE(three.empty());
    EXPECT_EQ(open(three), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Unsupported Ogg Vorbis stream: 1 or 2 channels expected."));

    const std::string path = makeOgg("tone.ogg", 22050, 2, 10);
    auto bytes = readBytes(path);
    const auto whole = soxRaw(path, "-e signed -b 16");
    bytes.resize(bytes.size() / 2);
    const std::string cut = m_folder.file("cut.ogg");
    writeBytes(cut, bytes);
    ASSERT_EQ(open(cut), S_OK) << errorText();
    const auto part = readAll();
    EXPECT_GT(part.size(), whole.size() / 4);
    EXPECT_LT(part.size(), whole.size());
    EXPECT_EQ(part, soxRaw(cut, "-e signed -b 16"));
}
