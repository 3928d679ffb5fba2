// Conversions between the MP3 decoder and encoder controls of vlsmp3x1: the converter's events,
// the output's format and tags as the reference tools read them, cancelling, destruction during a
// conversion and GoSync.

#include "convtestsupport.h"
#include "decodertestsupport.h"
#include "vlsmp3x1.h"

using namespace vlscom;
using namespace convtest;
using mp3test::quoted;
using mp3test::run;

namespace {

class RealConversion : public ConverterTest {
protected:
    void SetUp() override
    {
        ConverterTest::SetUp();
        ASSERT_EQ(run("command -v sox lame ffprobe mpg123 >/dev/null").status, 0)
            << "reference tools missing";
    }

    // A tagged 48000 Hz stereo MP3 of the given length.
    std::string makeSource(const std::string& name, double seconds)
    {
        const std::string path = mp3test::makeMp3(m_folder, name, "-r 48000 -c 2", seconds,
            "-b 128 --add-id3v2 --tt 'Song Title' --ta 'The Artist' --tl 'The Album' --ty 2001 --tn 7 "
            "--tc 'A comment' --tg Rock");
        EXPECT_FALSE(path.empty());
        return path;
    }

    // The decoder on the source, giving mono 44100 Hz; the encoder on the output, 64 kbit/s CBR
    // re-sampled to 22050 Hz; both connected.
    void connect(const std::string& sourcePath, const std::string& outputPath)
    {
        ASSERT_EQ(createInstance(VlsMP3Decoderx1_ProgID, m_decoder), S_OK);
        ASSERT_EQ(m_decoder->Open(Bstr(std::string_view(sourcePath)).get()), S_OK) << takeError();
        ASSERT_EQ(m_decoder->SetOutputFormat(1, 44100, 16), S_OK) << takeError();
        ASSERT_EQ(createInstance(VlsMP3Encoderx1_ProgID, m_encoder), S_OK);
        ASSERT_EQ(m_encoder->put_OverwritePrompt(VARIANT_FALSE), S_OK);
        ASSERT_EQ(m_encoder->Open(Bstr(std::string_view(outputPath)).get()), S_OK) << takeError();
        ASSERT_EQ(m_encoder->SetOutputFormatCBR(64000), S_OK) << takeError();
        ASSERT_EQ(m_encoder->ForceEncodedSamplerate(22050), S_OK) << takeError();
        ASSERT_EQ(m_converter->put_Source(m_decoder.get()), S_OK);
        ASSERT_EQ(m_converter->put_Destination(m_encoder.get()), S_OK);
    }

    // Pumps until the first progress report.
    bool pumpUntilProgress()
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline) {
            PumpMessages();
            for (const Event& event : m_events) {
                if (event.id == DISPID_Converter_OnProgress)
                    return true;
            }
            WaitMessage(5ms);
        }
        return false;
    }

    static std::string streamInfo(const std::string& path)
    {
        return run(
            "ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels,"
            "bit_rate -of default=noprint_wrappers=1 "
            + quoted(path) + " 2>&1")
            .output;
    }

    static double seconds(const std::string& path)
    {
        const auto result = run("ffprobe -v error -show_entries format=duration -of csv=p=0 " + quoted(path));
        return result.status == 0 ? std::atof(result.output.c_str()) : -1.0;
    }

    // Every frame decodes without a complaint from the reference decoder.
    static bool decodesCleanly(const std::string& path)
    {
        const auto result = run("mpg123 -q -t " + quoted(path) + " 2>&1");
        return result.status == 0 && result.output.empty();
    }

    // Progress values strictly increase between start and finish, with no error.
    void expectCleanEvents()
    {
        ASSERT_GE(m_events.size(), 2U) << events();
        EXPECT_EQ(m_events.front().id, DISPID_Converter_OnStart) << events();
        EXPECT_EQ(m_events.back().id, DISPID_Converter_OnFinish) << events();
        int last = -1;
        for (std::size_t i = 1; i + 1 < m_events.size(); ++i) {
            ASSERT_EQ(m_events[i].id, DISPID_Converter_OnProgress) << events();
            const int percent = std::stoi(m_events[i].text);
            EXPECT_GT(percent, last) << events();
            last = percent;
        }
    }

    mp3test::TempFolder m_folder;
};

const char* const tagScript = R"(
import sys
from mutagen.id3 import ID3
tags = ID3(sys.argv[1], translate=False)
for key in ("TIT2", "TPE1", "TALB", "TYER", "TRCK", "TCON"):
    print(key, tags[key].text[0] if key in tags else "-")
print("COMM", sorted({c.text[0] for c in tags.getall("COMM")}))
)";

} // namespace

// MP3 to MP3 through the decoder's output format and the encoder's settings: the output has the
// asked rate, channels and bit rate, keeps the source's tags, and the events come in order.
TEST_F(RealConversion, ConvertsKeepingTheTags)
{
    const std::string source = makeSource("source", 12.0);
    const std::string output = m_folder.file("output.mp3");
    connect(source, output);
    ASSERT_EQ(m_converter->Go(), S_OK);
    ASSERT_TRUE(pumpUntilFinished()) << events();
    expectCleanEvents();
    EXPECT_EQ(m_events[m_events.size() - 2].text, "100") << events();

    EXPECT_EQ(streamInfo(output), "codec_name=mp3\nsample_rate=22050\nchannels=1\nbit_rate=64000\n");
    EXPECT_NEAR(seconds(output), 12.0, 0.2);
    EXPECT_TRUE(decodesCleanly(output));
    const auto tags = mp3test::runPython(tagScript, output);
    EXPECT_EQ(tags.output,
        "TIT2 Song Title\nTPE1 The Artist\nTALB The Album\nTYER 2001\nTRCK 7\nTCON Rock\nCOMM ['A "
        "comment']\n");
}

// OpenDestination refuses a destination that is the source file, the encoder's ".mp3" added back
// to the cut name, also through a link: the source keeps its bytes. With AddExtension off the cut
// name is another file, which is opened.
TEST_F(RealConversion, OpenDestinationRefusesTheSource)
{
    const std::string source = makeSource("song", 1.0);
    const auto before = mp3test::readBytes(source);
    std::filesystem::create_symlink(source, m_folder.file("link.mp3"));
    ASSERT_EQ(createInstance(VlsMP3Encoderx1_ProgID, m_encoder), S_OK);
    ASSERT_EQ(m_encoder->put_OverwritePrompt(VARIANT_FALSE), S_OK);
    ASSERT_EQ(m_converter->put_Destination(m_encoder.get()), S_OK);
    for (const std::string& path : { source, m_folder.file("link.mp3") }) {
        ASSERT_EQ(createInstance(VlsMP3Decoderx1_ProgID, m_decoder), S_OK);
        ASSERT_EQ(m_decoder->Open(Bstr(std::string_view(path)).get()), S_OK) << takeError();
        ASSERT_EQ(m_converter->put_Source(m_decoder.get()), S_OK);
        EXPECT_EQ(m_converter->OpenDestination(), DISP_E_EXCEPTION) << path;
        EXPECT_EQ(takeError(), converterError("Cannot open destination: it is the source file."));
    }
    EXPECT_EQ(mp3test::readBytes(source), before);
    ASSERT_EQ(m_encoder->put_AddExtension(VARIANT_FALSE), S_OK);
    EXPECT_EQ(m_converter->OpenDestination(), S_OK) << takeError();
    EXPECT_TRUE(std::filesystem::exists(m_folder.file("link")));
    EXPECT_EQ(m_encoder->Close(), S_OK);
    EXPECT_EQ(mp3test::readBytes(source), before);
}

// GoSync converts the same way on the calling thread, without events.
TEST_F(RealConversion, ConvertsSynchronously)
{
    const std::string source = makeSource("source", 3.0);
    const std::string output = m_folder.file("sync.mp3");
    connect(source, output);
    ASSERT_EQ(m_converter->put_KeepTags(VARIANT_FALSE), S_OK);
    ASSERT_EQ(m_converter->GoSync(), S_OK) << takeError();
    EXPECT_EQ(streamInfo(output), "codec_name=mp3\nsample_rate=22050\nchannels=1\nbit_rate=64000\n");
    EXPECT_NEAR(seconds(output), 3.0, 0.2);
    EXPECT_TRUE(decodesCleanly(output));
    pumpFor(50ms);
    EXPECT_EQ(events(), "");
}

// A cancelled conversion closes both sides: the output is a valid, shorter MP3 and no error is
// reported. Go then runs again with new objects and the events repeat.
TEST_F(RealConversion, CancelKeepsAValidShorterFileAndGoRunsAgain)
{
    const std::string source = makeSource("long", 40.0);
    const std::string cancelled = m_folder.file("cancelled.mp3");
    connect(source, cancelled);
    ASSERT_EQ(m_converter->Go(), S_OK);
    ASSERT_TRUE(pumpUntilProgress()) << events();
    ASSERT_EQ(m_converter->CancelConversion(), S_OK);
    ASSERT_TRUE(pumpUntilFinished()) << events();
    expectCleanEvents();
    const double kept = seconds(cancelled);
    EXPECT_GT(kept, 0.5);
    EXPECT_LT(kept, 39.0);
    EXPECT_TRUE(decodesCleanly(cancelled));
    Bstr name;
    EXPECT_EQ(m_encoder->get_Filename(name.put()), DISP_E_EXCEPTION) << "the encoder was closed";
    takeError();

    m_events.clear();
    const std::string again = m_folder.file("again.mp3");
    connect(makeSource("short", 4.0), again);
    ASSERT_EQ(m_converter->Go(), S_OK);
    ASSERT_TRUE(pumpUntilFinished()) << events();
    expectCleanEvents();
    EXPECT_NEAR(seconds(again), 4.0, 0.2);
}

// Releasing the converter during a conversion cancels it and waits: the output is finished and
// valid once the release returns.
TEST_F(RealConversion, DestructionDuringAConversionFinishesTheOutput)
{
    const std::string output = m_folder.file("destroyed.mp3");
    connect(makeSource("long", 40.0), output);
    ASSERT_EQ(m_converter->Go(), S_OK);
    ASSERT_TRUE(pumpUntilProgress()) << events();
    unadvise(m_converter.get(), DIID__IVlsAudioConverterEvents, m_cookie);
    m_converter.reset();
    EXPECT_EQ(referenceCount(m_decoder.get()), 1U);
    EXPECT_EQ(referenceCount(m_encoder.get()), 1U);
    const double kept = seconds(output);
    EXPECT_GT(kept, 0.5);
    EXPECT_LT(kept, 39.0);
    EXPECT_TRUE(decodesCleanly(output));
}
