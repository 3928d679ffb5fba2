// The vlsdec decoders as the audio converter uses them: chosen by CreateDecoderFor, converted into
// the MP3 encoder of vlsmp3x1 with Go, and a failed Read reported through their OnError event.

#include "dectestsupport.h"
#include "vlsaudioencoder.h"
#include "vlscom/persist.h"
#include "vlsmp3x1.h"

#include <filesystem>

using namespace dectest;
using namespace std::chrono_literals;

namespace {

class DecoderConversion : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(decoderServer().registerServer(), S_OK);
        ASSERT_EQ(loadedServer(VLS_CONV_SERVER).registerServer(), S_OK);
        ASSERT_EQ(loadedServer(VLS_MP3_SERVER).registerServer(), S_OK);
        ASSERT_EQ(vlscom::createInstance(VlsAudioConverter_ProgID, m_converter), S_OK);
        m_sink = vlscom::makeObject<vlscom::EventSink>(
            DIID__IVlsAudioConverterEvents, [this](DISPID id, const DISPPARAMS& params) {
                if (id == DISPID_Converter_OnStart)
                    m_events.push_back("start");
                else if (id == DISPID_Converter_OnFinish)
                    m_events.push_back("finish");
                else if (id == DISPID_Converter_OnError)
                    m_events.push_back(
                        "error " + vlscom::toUtf8(vlscom::stringArgument(params, 0).value_or(u"?")));
                else if (id == DISPID_Converter_OnProgress
                    && (m_events.empty() || m_events.back() != "progress"))
                    m_events.push_back("progress");
            });
        ASSERT_EQ(
            vlscom::advise(m_converter.get(), DIID__IVlsAudioConverterEvents, m_sink->identity(), &m_cookie),
            S_OK);
    }

    void TearDown() override
    {
        if (m_converter)
            vlscom::unadvise(m_converter.get(), DIID__IVlsAudioConverterEvents, m_cookie);
        m_converter.reset();
        vlscom::PumpMessages();
    }

    // The MP3 encoder at 64 kbit/s on the source's name without its extension.
    void connectEncoder()
    {
        ASSERT_EQ(vlscom::createInstance(VlsMP3Encoderx1_ProgID, m_encoder), S_OK);
        ASSERT_EQ(m_encoder->put_OverwritePrompt(VARIANT_FALSE), S_OK);
        ASSERT_EQ(m_encoder->SetOutputFormatCBR(64000), S_OK);
        ASSERT_EQ(m_converter->put_Destination(m_encoder.get()), S_OK);
        ASSERT_EQ(m_converter->OpenDestination(), S_OK) << errorText();
    }

    // Runs Go and pumps the events until OnFinish; the events joined by ", ", each run of progress
    // reports as one "progress".
    std::string convert()
    {
        m_events.clear();
        EXPECT_EQ(m_converter->Go(), S_OK) << errorText();
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline
            && (m_events.empty() || m_events.back() != "finish")) {
            vlscom::WaitMessage(20ms);
            vlscom::PumpMessages();
        }
        std::string text;
        for (const std::string& event : m_events)
            text += (text.empty() ? "" : ", ") + event;
        return text;
    }

    static double seconds(const std::string& path)
    {
        const auto result = run("ffprobe -v error -show_entries format=duration -of csv=p=0 " + quoted(path));
        return result.status == 0 ? std::atof(result.output.c_str()) : -1.0;
    }

    TemporaryRegistry m_registry;
    TempFolder m_folder;
    vlscom::ComPtr<IVlsAudioConverter> m_converter;
    vlscom::ComPtr<IVlsAudioEncoder> m_encoder;
    vlscom::ComPtr<vlscom::EventSink> m_sink;
    DWORD m_cookie = 0;
    std::vector<std::string> m_events;
};

} // namespace

// A PCM wave, an MPEG Layer-3 wave and an Ogg Vorbis file each get their decoder from
// CreateDecoderFor and convert into an MP3 of their length beside them; the Vorbis comments
// become the MP3's tags.
TEST_F(DecoderConversion, ConvertsEachFormatChosenByCreateDecoderFor)
{
    const std::string pcm = makeWave(m_folder, "pcm.wav", "-r 22050 -c 2 -b 16", 3);
    const std::string mp3 = makeMp3(m_folder, "inner", "-r 44100 -c 1", 3, "-b 64 -t");
    ASSERT_FALSE(mp3.empty());
    writeBytes(m_folder.file("layer3.wav"),
        riffWave({ riffChunk("fmt ", formatRecord(85, 1, 44100, 8000, 1, 0, { 0, 0 })),
            riffChunk("data", readBytes(mp3)) }));
    const std::string ogg = m_folder.file("vorbis.ogg");
    ASSERT_EQ(run("ffmpeg -v error -f lavfi -i sine=frequency=440:sample_rate=44100:duration=3 -ac 2 -c:a "
                  "libvorbis -metadata title=Song -metadata artist=Singer -metadata date=2020 "
                  + quoted(ogg) + " 2>&1")
                  .status,
        0);

    const std::pair<std::string, CLSID> sources[] = { { pcm, CLSID_VlsWaveDecoder },
        { m_folder.file("layer3.wav"), CLSID_VlsMP3Decoder }, { ogg, CLSID_VlsVorbisDecoder } };
    for (const auto& [source, clsid] : sources) {
        SCOPED_TRACE(source);
        ASSERT_EQ(m_converter->CreateDecoderFor(vlscom::Bstr(source).get()), S_OK) << errorText();
        vlscom::ComPtr<IVlsAudioDecoder> decoder;
        ASSERT_EQ(m_converter->get_Source(decoder.put()), S_OK);
        vlscom::ComPtr<IPersistStreamInit> persist;
        ASSERT_EQ(decoder->QueryInterface(IPersistStreamInit::iid, persist.putVoid()), S_OK);
        CLSID created {};
        EXPECT_EQ(persist->GetClassID(&created), S_OK);
        EXPECT_EQ(created, clsid);
        connectEncoder();
        EXPECT_EQ(convert(), "start, progress, finish");
        const std::string output = source.substr(0, source.rfind('.')) + ".mp3";
        EXPECT_NEAR(seconds(output), 3.0, 0.1);
    }

    vlscom::ComPtr<IVlsAudioDecoder> decoder;
    ASSERT_EQ(vlscom::createInstance(CLSID_VlsMP3Decoder, decoder), S_OK);
    ASSERT_EQ(decoder->Open(vlscom::Bstr(m_folder.file("vorbis.mp3")).get()), S_OK);
    EXPECT_EQ(tag(decoder.get(), &IAudioTag::get_Title), u"Song");
    EXPECT_EQ(tag(decoder.get(), &IAudioTag::get_Artist), u"Singer");
    EXPECT_EQ(tag(decoder.get(), &IAudioTag::get_Year), u"2020");
}

// A Read that fails during Go reaches the converter through the decoder's OnError: the converter
// reports the decoder's own text, then finishes.
TEST_F(DecoderConversion, FailedReadReachesTheConvertersErrorEvent)
{
    const std::string path = makeWave(m_folder, "tone.wav", "-r 44100 -c 2 -b 16", 3);
    ASSERT_EQ(m_converter->CreateDecoderFor(vlscom::Bstr(path).get()), S_OK) << errorText();
    connectEncoder();
    // The first Read of 65536 bytes succeeds; the file then ends before its audio data.
    std::filesystem::resize_file(path, 44 + 100000);
    EXPECT_EQ(convert(),
        "start, progress, error Error: decoder failed: Read error: the file ended before its audio data., "
        "finish");
}
