// CreateDecoderFor and OpenDestination, with fake decoders registered under the decoder identities
// (all but the WMA decoder's) and a fake encoder.

#include "convtestsupport.h"
#include "mp3testsupport.h"

#include <filesystem>
#include <sys/stat.h>

using namespace vlscom;
using namespace convtest;

namespace {

class CreateDecoderFor : public ConverterTest {
protected:
    HRESULT createFor(const std::string& name)
    {
        return m_converter->CreateDecoderFor(Bstr(std::string_view(name)).get());
    }

    // The kind of fake that is the source now, and its log; "none" without a source.
    std::string source()
    {
        ComPtr<IVlsAudioDecoder> decoder;
        EXPECT_EQ(m_converter->get_Source(decoder.put()), S_OK);
        if (!decoder)
            return "none";
        Bstr kind;
        fakeOf(decoder.get())->get_Kind(kind.put());
        return kind.utf8() + ": " + logOf(decoder.get());
    }

    // A RIFF/WAVE file whose "fmt " chunk has the tag; truncated to `keep` bytes when given.
    std::string wave(const std::string& name, std::uint16_t tag, std::size_t keep = 0)
    {
        std::vector<std::uint8_t> bytes = { 'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm',
            't', ' ', 16, 0, 0, 0, static_cast<std::uint8_t>(tag), static_cast<std::uint8_t>(tag >> 8), 1, 0,
            0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0 };
        if (keep)
            bytes.resize(keep);
        const std::string path = m_folder.file(name);
        mp3test::writeBytes(path, bytes);
        return path;
    }

    void expectNotFound(const std::string& name)
    {
        EXPECT_EQ(createFor(name), DISP_E_EXCEPTION) << name;
        EXPECT_EQ(takeError(), converterError("Cannot find appropriate decoder.")) << name;
        EXPECT_EQ(source(), "none") << name;
    }

    mp3test::TempFolder m_folder;
};

} // namespace

// The extension picks the class, in any letter case, and the new source opens the full name.
TEST_F(CreateDecoderFor, ChoosesTheClassByExtension)
{
    ASSERT_EQ(createFor("SONG.MP3"), S_OK);
    EXPECT_EQ(source(), "VlsMP3Decoder: Open SONG.MP3\n");
    ASSERT_EQ(createFor("/music/song.mp3"), S_OK);
    EXPECT_EQ(source(), "VlsMP3Decoder: Open /music/song.mp3\n");
    ASSERT_EQ(createFor("tune.Ogg"), S_OK);
    EXPECT_EQ(source(), "VlsVorbisDecoder: Open tune.Ogg\n");
}

// A class that cannot be created gives the creation's status, without a message, and no source.
TEST_F(CreateDecoderFor, ReportsTheCreationStatusOfAMissingClass)
{
    ASSERT_EQ(createFor("a.mp3"), S_OK);
    EXPECT_EQ(createFor("talk.wma"), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(source(), "none");
}

// WAV files are probed: format tag 1 selects the wave decoder, 85 the MP3 decoder, anything else
// (3, floating point) finds no decoder; the same file under another name is not probed.
TEST_F(CreateDecoderFor, ProbesTheFormatTagOfWaveFiles)
{
    ASSERT_EQ(createFor(wave("a.wav", 1)), S_OK);
    EXPECT_EQ(source(), "VlsWaveDecoder: Open " + m_folder.file("a.wav") + "\n");
    ASSERT_EQ(createFor(wave("b.WAV", 85)), S_OK);
    EXPECT_EQ(source(), "VlsMP3Decoder: Open " + m_folder.file("b.WAV") + "\n");
    expectNotFound(wave("c.wav", 3));
    expectNotFound(wave("a.wv", 1));
}

// Names of four characters or fewer, unknown extensions, missing or unreadable WAV files and WAV
// files with a short "fmt " chunk find no decoder, and each failed call drops the previous source.
TEST_F(CreateDecoderFor, FindsNoDecoderAndDropsThePreviousSource)
{
    const std::string cases[] = { ".mp3", "mp3", "", "notes.txt", m_folder.file("missing.wav"),
        wave("short.wav", 1, 30), wave("nofmt.wav", 1, 14) };
    for (const std::string& name : cases) {
        ASSERT_EQ(createFor("x.mp3"), S_OK);
        expectNotFound(name);
    }
    std::filesystem::create_directory(m_folder.file("folder.wav"));
    expectNotFound(m_folder.file("folder.wav"));
    ASSERT_EQ(::mkfifo(m_folder.file("fifo.wav").c_str(), 0600), 0);
    expectNotFound(m_folder.file("fifo.wav"));
}

// When the decoder cannot open the file, its status is returned and it stays the source.
TEST_F(CreateDecoderFor, ReturnsTheOpenStatus)
{
    EXPECT_EQ(createFor("denied.mp3"), FAKE_E_DENIED);
    EXPECT_EQ(source(), "VlsMP3Decoder: Open denied.mp3\n");
}

// OpenDestination opens the encoder on the source's name cut at its last dot.
TEST_F(CreateDecoderFor, OpenDestinationCutsAtTheLastDot)
{
    auto encoder = createFake<IVlsAudioEncoder>(CLSID_FakeEncoder);
    ASSERT_EQ(m_converter->put_Destination(encoder.get()), S_OK);
    ASSERT_EQ(createFor("/music/track.ogg"), S_OK);
    ASSERT_EQ(m_converter->OpenDestination(), S_OK);
    EXPECT_EQ(logOf(encoder.get()), "Open /music/track\n");
    const std::pair<std::string, std::string> cases[] = { { "/music/track.ogg", "/music/track" },
        { "/music.d/track", "/music" }, { "track", "track" }, { "", "" }, { "/a/b.c.mp3", "/a/b.c" } };
    std::string expected = "Open /music/track\n";
    for (const auto& [name, opened] : cases) {
        auto decoder = createFake<IVlsAudioDecoder>(CLSID_FakeDecoder);
        ASSERT_EQ(decoder->Open(Bstr(std::string_view(name)).get()), S_OK);
        ASSERT_EQ(m_converter->put_Source(decoder.get()), S_OK);
        ASSERT_EQ(m_converter->OpenDestination(), S_OK) << name;
        expected += "Open " + opened + "\n";
        EXPECT_EQ(logOf(encoder.get()), expected);
    }
}

// A source whose Filename fails gives that status and opens nothing.
TEST_F(CreateDecoderFor, OpenDestinationReturnsTheFilenameStatus)
{
    connectFakes("filename=fail", "");
    EXPECT_EQ(m_converter->OpenDestination(), FAKE_E_DENIED);
    EXPECT_EQ(logOf(m_encoder.get()), "");
}
