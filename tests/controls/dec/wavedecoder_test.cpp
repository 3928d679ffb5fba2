#include "dectestsupport.h"

#include <filesystem>

using namespace dectest;
using vlscom::Bstr;

namespace {

class WaveDecoder : public DecoderFixture {
protected:
    WaveDecoder()
        : DecoderFixture(CLSID_VlsWaveDecoder, "Aurikit.WaveDecoder.1")
    {
    }
};

struct Layout {
    int rate;
    int channels;
    int bits;
};

} // namespace

// 8- and 16-bit, mono and stereo files decode to the bytes sox reads from them, in the file's own
// format, and a Read after the end gives 0 again.
TEST_F(WaveDecoder, DecodesLikeSoxInTheFilesFormat)
{
    for (const Layout layout :
        { Layout { 8000, 1, 8 }, Layout { 11025, 2, 8 }, Layout { 22050, 1, 16 }, Layout { 44100, 2, 16 } }) {
        SCOPED_TRACE(std::to_string(layout.rate) + " Hz " + std::to_string(layout.channels) + " ch "
            + std::to_string(layout.bits) + " bit");
        const std::string path = makeWave(m_folder, "tone.wav",
            "-r " + std::to_string(layout.rate) + " -c " + std::to_string(layout.channels) + " -b "
                + std::to_string(layout.bits),
            2.5);
        ASSERT_FALSE(path.empty());
        ASSERT_EQ(open(path), S_OK) << errorText();
        const WAVEFORMATEX f = format();
        const auto align = static_cast<std::uint16_t>(layout.channels * layout.bits / 8);
        EXPECT_EQ(f.wFormatTag, 1);
        EXPECT_EQ(f.nChannels, layout.channels);
        EXPECT_EQ(f.nSamplesPerSec, std::uint32_t(layout.rate));
        EXPECT_EQ(f.nAvgBytesPerSec, std::uint32_t(layout.rate) * align);
        EXPECT_EQ(f.nBlockAlign, align);
        EXPECT_EQ(f.wBitsPerSample, layout.bits);
        EXPECT_EQ(f.cbSize, 0);
        EXPECT_EQ(duration(), 2);
        EXPECT_EQ(bitrate(), layout.rate * align * 8);
        EXPECT_EQ(position(), 0);

        const auto expected = soxRaw(path);
        ASSERT_EQ(expected.size(), std::size_t(layout.rate * 2.5) * align);
        EXPECT_EQ(readAll(4097), expected);
        EXPECT_EQ(position(), 2);
        EXPECT_TRUE(readAll().empty());
        BSTR name = nullptr;
        EXPECT_EQ(m_decoder->get_Filename(&name), S_OK);
        EXPECT_EQ(vlscom::toUtf8(vlscom::bstrView(name)), path);
        SysFreeString(name);
    }
}

// Position counts whole seconds of what was delivered; Seek and the Position property move the
// read position, also after the end, and beyond the end there is nothing to read.
TEST_F(WaveDecoder, PositionAndSeek)
{
    const std::string path = makeWave(m_folder, "tone.wav", "-r 44100 -c 2 -b 16", 4);
    ASSERT_EQ(open(path), S_OK);
    const auto all = soxRaw(path);
    std::vector<std::uint8_t> buffer(176400 + 3);
    std::int32_t got = 0;
    ASSERT_EQ(m_decoder->Read(buffer.data(), 176399, &got), S_OK);
    EXPECT_EQ(got, 176399);
    EXPECT_EQ(position(), 0) << "one byte short of a second";
    ASSERT_EQ(m_decoder->Read(buffer.data(), 1, &got), S_OK);
    EXPECT_EQ(position(), 1);

    EXPECT_EQ(m_decoder->Seek(3), S_OK);
    EXPECT_EQ(position(), 3);
    EXPECT_EQ(readAll(), std::vector<std::uint8_t>(all.begin() + 3 * 176400, all.end()));
    EXPECT_EQ(m_decoder->put_Position(2), S_OK);
    EXPECT_EQ(position(), 2);
    EXPECT_EQ(readAll(1000), std::vector<std::uint8_t>(all.begin() + 2 * 176400, all.end()));
    EXPECT_EQ(m_decoder->Seek(60), S_OK);
    EXPECT_EQ(position(), 4);
    EXPECT_TRUE(readAll().empty());
    EXPECT_EQ(m_decoder->Seek(-5), S_OK);
    EXPECT_EQ(position(), 0);
    EXPECT_EQ(readAll(), all);
}

// SetOutputFormat converts rate, channels and sample size through the PCM format converter, only
// before the first Read of a run; SetOutputFormatWFX takes a whole record; 0, 0, 0 copies.
TEST_F(WaveDecoder, OutputFormatConversion)
{
    const std::string path = makeWave(m_folder, "tone.wav", "-r 44100 -c 2 -b 16", 2, 1000);
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(1, 22050, 8), S_OK);
    WAVEFORMATEX f = format();
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nSamplesPerSec, 22050U);
    EXPECT_EQ(f.nAvgBytesPerSec, 22050U);
    EXPECT_EQ(f.nBlockAlign, 1);
    EXPECT_EQ(f.wBitsPerSample, 8);
    std::vector<std::uint8_t> first(1000);
    std::int32_t got = 0;
    ASSERT_EQ(m_decoder->Read(first.data(), 1000, &got), S_OK);
    EXPECT_EQ(m_decoder->SetOutputFormat(2, 0, 0), E_UNEXPECTED) << "reading has started";
    auto bytes = readAll();
    bytes.insert(bytes.begin(), first.begin(), first.begin() + got);
    EXPECT_NEAR(double(bytes.size()), 44100.0, 40);
    std::vector<std::int16_t> widened;
    for (const std::uint8_t b : bytes)
        widened.push_back(static_cast<std::int16_t>((b - 128) * 256));
    EXPECT_NEAR(crossingFrequency(widened, 1, 0, 22050), 1000, 3);

    // After the end the format may change again; reading goes on from the end until a seek.
    WAVEFORMATEX stereo22k { 1, 2, 22050, 88200, 4, 16, 0 };
    EXPECT_EQ(m_decoder->SetOutputFormatWFX(&stereo22k), S_OK);
    EXPECT_EQ(format().nChannels, 2);
    EXPECT_TRUE(readAll().empty());
    EXPECT_EQ(m_decoder->Seek(0), S_OK);
    const auto samples = toSamples(readAll());
    EXPECT_NEAR(double(samples.size()), 2.0 * 44100, 80);
    EXPECT_NEAR(crossingFrequency(samples, 2, 1, 22050), 1000, 3);

    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(format().nChannels, 2) << "Open starts from the file's own format";
    EXPECT_EQ(m_decoder->SetOutputFormat(0, 0, 0), S_OK);
    EXPECT_EQ(readAll(), soxRaw(path));

    EXPECT_EQ(m_decoder->SetOutputFormat(3, 0, 0), E_UNEXPECTED);
    EXPECT_EQ(m_decoder->SetOutputFormat(0, 0, 24), E_UNEXPECTED);
    WAVEFORMATEX bad { 1, 3, 44100, 0, 6, 16, 0 };
    EXPECT_EQ(m_decoder->SetOutputFormatWFX(&bad), E_UNEXPECTED);
    EXPECT_EQ(m_decoder->SetOutputFormatWFX(nullptr), E_POINTER);
}

// Files that are not PCM waves of 8 or 16 bits and 1 or 2 channels fail Open with a message (or the
// system error of a file that cannot be opened) and leave the decoder closed.
TEST_F(WaveDecoder, RefusesFilesItCannotDecode)
{
    EXPECT_EQ(open(m_folder.file("missing.wav")), HRESULT(0x80070002));
    EXPECT_EQ(open(m_folder.path()), HRESULT(0x80070015));

    writeBytes(m_folder.file("text.wav"), { 'h', 'e', 'l', 'l', 'o' });
    EXPECT_EQ(open(m_folder.file("text.wav")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Not a valid RIFF/WAVE file."));

    const std::vector<std::uint8_t> data(400, 0x11);
    writeBytes(m_folder.file("nodata.wav"),
        riffWave({ riffChunk("fmt ", formatRecord(1, 2, 44100, 176400, 4, 16)) }));
    EXPECT_EQ(open(m_folder.file("nodata.wav")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Not a valid RIFF/WAVE file."));

    const std::string adpcm = makeWave(m_folder, "adpcm.wav", "-r 22050 -c 1 -e ima-adpcm", 1);
    ASSERT_FALSE(adpcm.empty());
    EXPECT_EQ(open(adpcm), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Unsupported wave format: only PCM data can be decoded."));
    writeBytes(m_folder.file("float.wav"),
        riffWave({ riffChunk("fmt ", formatRecord(3, 1, 44100, 176400, 4, 32)), riffChunk("data", data) }));
    EXPECT_EQ(open(m_folder.file("float.wav")), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Unsupported wave format: only PCM data can be decoded."));

    const std::pair<const char*, std::vector<std::uint8_t>> layouts[] = {
        { "three channels", formatRecord(1, 3, 44100, 264600, 6, 16) },
        { "24 bits", formatRecord(1, 2, 44100, 264600, 6, 24) },
        { "block align", formatRecord(1, 2, 44100, 176400, 3, 16) },
        { "rate 0", formatRecord(1, 2, 0, 0, 4, 16) },
    };
    for (const auto& [name, record] : layouts) {
        writeBytes(
            m_folder.file("layout.wav"), riffWave({ riffChunk("fmt ", record), riffChunk("data", data) }));
        EXPECT_EQ(open(m_folder.file("layout.wav")), DISP_E_EXCEPTION) << name;
        EXPECT_EQ(errorText(),
            failure("Unsupported wave format: 8-bit or 16-bit PCM with 1 or 2 channels expected."))
            << name;
    }

    std::int32_t value = 0;
    EXPECT_EQ(m_decoder->get_Duration(&value), DISP_E_EXCEPTION) << "a failed Open leaves the decoder closed";
    EXPECT_EQ(errorText(), failure("Error accessing property: file is not open."));
}

// A file cut inside its data chunk yields the whole sample frames it holds, and its duration is what
// it holds.
TEST_F(WaveDecoder, CutFileYieldsWhatItHolds)
{
    const std::string path = makeWave(m_folder, "tone.wav", "-r 8000 -c 2 -b 16", 3);
    const auto whole = readBytes(path);
    ASSERT_GT(whole.size(), 3U * 8000 * 4);
    const std::size_t header = whole.size() - 3 * 8000 * 4;
    const std::vector<std::uint8_t> bytes(
        whole.begin(), whole.begin() + std::ptrdiff_t(header + 8000 * 4 + 8000 * 4 / 2 + 3));
    writeBytes(path, bytes);
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(duration(), 1);
    const auto all = readAll(333);
    EXPECT_EQ(all, std::vector<std::uint8_t>(bytes.begin() + std::ptrdiff_t(header), bytes.end() - 3));
}

// Members that need a file fail with their message while none is open; null pointers give
// E_POINTER; Close and OpenHandle behave as in the MP3 decoder.
TEST_F(WaveDecoder, WithoutAFile)
{
    std::int32_t value = 0;
    std::uint8_t byte = 0;
    EXPECT_EQ(m_decoder->Read(&byte, 1, &value), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Read error: file is not open."));
    EXPECT_EQ(m_decoder->Seek(1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Seek error: file is not open."));
    EXPECT_EQ(m_decoder->put_Position(1), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Seek error: file is not open."));
    for (auto get : { &IVlsAudioDecoder::get_Position, &IVlsAudioDecoder::get_Duration,
             &IVlsAudioDecoder::get_Bitrate }) {
        EXPECT_EQ((m_decoder.get()->*get)(&value), DISP_E_EXCEPTION);
        EXPECT_EQ(errorText(), failure("Error accessing property: file is not open."));
    }
    WAVEFORMATEX f {};
    EXPECT_EQ(m_decoder->get_Format(&f), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Error accessing property: file is not open."));
    BSTR name = nullptr;
    EXPECT_EQ(m_decoder->get_Filename(&name), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Error accessing property: file is not open."));
    EXPECT_EQ(m_decoder->Read(nullptr, 1, &value), E_POINTER);
    EXPECT_EQ(m_decoder->Read(&byte, 1, nullptr), E_POINTER);
    EXPECT_EQ(m_decoder->get_Format(nullptr), E_POINTER);
    EXPECT_EQ(m_decoder->get_TagData(nullptr), E_POINTER);
    EXPECT_EQ(m_decoder->Close(), S_OK);

    const std::string path = makeWave(m_folder, "tone.wav", "-r 8000 -c 1 -b 8", 1);
    ASSERT_EQ(open(path), S_OK);
    EXPECT_EQ(m_decoder->OpenHandle(0), E_NOTIMPL);
    EXPECT_EQ(m_decoder->Read(&byte, 1, &value), DISP_E_EXCEPTION) << "OpenHandle closed the file";
    EXPECT_EQ(errorText(), failure("Read error: file is not open."));
}

// The tags come from the file's LIST INFO chunk (as ffmpeg writes it); a file without one has empty
// fields, and writing a field changes only the decoder's copy.
TEST_F(WaveDecoder, TagsFromTheInfoList)
{
    const std::string plain = makeWave(m_folder, "plain.wav", "-r 8000 -c 1 -b 16", 1);
    const std::string tagged = m_folder.file("tagged.wav");
    ASSERT_EQ(
        run("ffmpeg -v error -i " + quoted(plain)
            + " -metadata title='Tïtle' -metadata artist=Singer -metadata album=Record -metadata date=2021 "
              "-metadata genre=Rock -metadata track=7 -metadata comment='A comment' -c copy "
            + quoted(tagged) + " 2>&1")
            .status,
        0);
    ASSERT_EQ(open(tagged), S_OK) << errorText();
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"Tïtle");
    EXPECT_EQ(tag(&IAudioTag::get_Artist), u"Singer");
    EXPECT_EQ(tag(&IAudioTag::get_Album), u"Record");
    EXPECT_EQ(tag(&IAudioTag::get_Year), u"2021");
    EXPECT_EQ(tag(&IAudioTag::get_Genre), u"Rock");
    EXPECT_EQ(tag(&IAudioTag::get_TrackNo), u"7");
    EXPECT_EQ(tag(&IAudioTag::get_Comment), u"A comment");
    EXPECT_EQ(readAll(), soxRaw(plain)) << "the LIST chunk is not audio";

    ASSERT_EQ(open(plain), S_OK);
    for (auto get : { &IAudioTag::get_Title, &IAudioTag::get_Artist, &IAudioTag::get_Album,
             &IAudioTag::get_Year, &IAudioTag::get_Genre, &IAudioTag::get_TrackNo, &IAudioTag::get_Comment })
        EXPECT_EQ(tag(get), u"");
    vlscom::ComPtr<IAudioTag> tags;
    ASSERT_EQ(m_decoder->get_TagData(tags.put()), S_OK);
    EXPECT_EQ(tags->put_Title(Bstr(std::string_view("Mine")).get()), S_OK);
    EXPECT_EQ(tag(&IAudioTag::get_Title), u"Mine");
}

// A Read that fails (the file lost its data after Open) returns its message and fires OnError with
// it, under the event identity the audio converter listens to; the MP3 control's identity is not
// offered.
TEST_F(WaveDecoder, FailedReadFiresOnError)
{
    const std::string path = makeWave(m_folder, "tone.wav", "-r 8000 -c 1 -b 16", 2);
    ASSERT_EQ(open(path), S_OK);
    ErrorListener listener(m_decoder.get());
    std::filesystem::resize_file(path, 44 + 1000);
    std::vector<std::uint8_t> buffer(4000);
    std::int32_t got = 0;
    EXPECT_EQ(m_decoder->Read(buffer.data(), 4000, &got), DISP_E_EXCEPTION);
    EXPECT_EQ(errorText(), failure("Read error: the file ended before its audio data."));
    EXPECT_EQ(
        listener.texts(), std::vector<std::string> { "Read error: the file ended before its audio data." });

    vlscom::ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(m_decoder->QueryInterface(IConnectionPointContainer::iid, container.putVoid()), S_OK);
    vlscom::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(
        container->FindConnectionPoint(DIID__IVlsAudioDecoderEvents, point.put()), CONNECT_E_NOCONNECTION);
}
