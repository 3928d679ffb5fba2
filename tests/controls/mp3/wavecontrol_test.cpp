#include "mp3testsupport.h"
#include "testsupport.h"
#include "vlsaudioencoder.h"
#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/errorinfo.h"
#include "vlscom/eventsink.h"
#include "vlscom/messagequeue.h"
#include "vlsmp3x1.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace vlscom;
using mp3test::TempFolder;

namespace {

struct Event {
    std::thread::id thread;
    DISPID id;
    std::string text; // the message or the percentage
};

class WaveControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(server().registerServer(), S_OK);
        ASSERT_EQ(createInstance(VlsMP3Encoderx1_ProgID, m_encoder), S_OK);
        ASSERT_TRUE(m_encoder);
        m_sink = makeObject<EventSink>(
            DIID__IVlsAudioEncoderEvents, [this](DISPID id, const DISPPARAMS& params) {
                std::string text;
                if (id == DISPID_Encoder_OnError)
                    text = toUtf8(stringArgument(params, 0).value_or(u""));
                else if (id == DISPID_Encoder_OnWaveEncodeProgress && params.cArgs == 1)
                    text = std::to_string(params.rgvarg[0].lVal);
                m_events.push_back({ std::this_thread::get_id(), id, text });
            });
        ASSERT_EQ(advise(m_encoder.get(), DIID__IVlsAudioEncoderEvents, m_sink->identity(), &m_cookie), S_OK);
        ASSERT_EQ(m_encoder->put_OverwritePrompt(VARIANT_FALSE), S_OK);
    }

    void TearDown() override
    {
        if (m_encoder)
            unadvise(m_encoder.get(), DIID__IVlsAudioEncoderEvents, m_cookie);
        m_encoder.reset();
        PumpMessages();
    }

    static ServerLibrary& server()
    {
        static ServerLibrary library(VLS_MP3_SERVER);
        return library;
    }

    std::string makeWave(const std::string& format, const std::string& effect)
    {
        const std::string path = m_folder.file("in.wav");
        const auto result = mp3test::run("sox -n " + format + " " + path + " " + effect + " 2>&1");
        EXPECT_EQ(result.status, 0) << result.output;
        return path;
    }

    // Dispatches the owner's messages until an event ends the wave encoding (or 60 s pass).
    void pumpUntilFinished()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            PumpMessages();
            if (!m_events.empty()
                && (m_events.back().id == DISPID_Encoder_OnWaveEncodeFinish
                    || (m_events.back().id == DISPID_Encoder_OnError && m_events.size() == 1)))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ADD_FAILURE() << "no finish event";
    }

    std::vector<DISPID> ids() const
    {
        std::vector<DISPID> out;
        for (const Event& e : m_events)
            out.push_back(e.id);
        return out;
    }

    TemporaryRegistry m_registry;
    TempFolder m_folder;
    ComPtr<IVlsAudioEncoder> m_encoder;
    ComPtr<EventSink> m_sink;
    DWORD m_cookie = 0;
    std::vector<Event> m_events;
};

} // namespace

// Without an open output both forms fail at once with their text and no event follows.
TEST_F(WaveControl, RefusedBeforeOpen)
{
    const std::string wave = makeWave("-r 44100 -c 2 -b 16", "synth 0.2 sine 440");
    const Bstr name(std::string_view { wave });
    EXPECT_EQ(m_encoder->EncodeFromWave(name.get()), DISP_E_EXCEPTION);
    auto error = takeErrorInfo();
    ASSERT_TRUE(error);
    EXPECT_EQ(toUtf8(error->description), "Error: cannot convert: file is not open.");
    EXPECT_EQ(m_encoder->EncodeFromWaveSync(name.get()), DISP_E_EXCEPTION);
    error = takeErrorInfo();
    ASSERT_TRUE(error);
    EXPECT_EQ(toUtf8(error->description), "Error: cannot convert: file is not open.");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(PumpMessages(), 0U);
    EXPECT_TRUE(m_events.empty());
}

// The asynchronous form encodes a 22050 Hz stereo file raised to 44100 Hz; its events arrive on
// the owner's thread in order: start, rising progress ending at 100, finish. The raised file is as
// long as the input to the sample.
TEST_F(WaveControl, AsynchronousEncodeFiresItsEventsInOrder)
{
    const std::string wave = makeWave("-r 22050 -c 2 -b 16", "synth 2 sine 1000");
    const Bstr out(std::string_view { m_folder.file("out") });
    ASSERT_EQ(m_encoder->Open(out.get()), S_OK);
    const Bstr name(std::string_view { wave });
    ASSERT_EQ(m_encoder->EncodeFromWave(name.get()), S_OK);
    pumpUntilFinished();
    ASSERT_EQ(m_encoder->Close(), S_OK);
    ASSERT_GE(m_events.size(), 3U);
    EXPECT_EQ(m_events.front().id, DISPID_Encoder_OnWaveEncodeStart);
    EXPECT_EQ(m_events.back().id, DISPID_Encoder_OnWaveEncodeFinish);
    int last = -1;
    for (std::size_t i = 1; i + 1 < m_events.size(); ++i) {
        EXPECT_EQ(m_events[i].id, DISPID_Encoder_OnWaveEncodeProgress);
        const int percent = std::stoi(m_events[i].text);
        EXPECT_GT(percent, last);
        last = percent;
    }
    EXPECT_EQ(last, 100);
    for (const Event& e : m_events)
        EXPECT_EQ(e.thread, std::this_thread::get_id());
    const auto decoded = mp3test::decodeWithMpg123(m_folder.file("out.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 44100);
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_EQ(decoded.frames(), 88200U);
    EXPECT_GT(mp3test::toneShare(decoded, 1, 1000.0), 0.8);
}

// An unreadable wave file ends the asynchronous form with OnError alone; the synchronous form
// returns the same text. The output stays open.
TEST_F(WaveControl, UnreadableWaveFileReportsItsText)
{
    const Bstr out(std::string_view { m_folder.file("out") });
    ASSERT_EQ(m_encoder->Open(out.get()), S_OK);
    const Bstr name(std::string_view { m_folder.file("missing.wav") });
    ASSERT_EQ(m_encoder->EncodeFromWave(name.get()), S_OK);
    pumpUntilFinished();
    ASSERT_EQ(ids(), std::vector<DISPID> { DISPID_Encoder_OnError });
    EXPECT_EQ(m_events[0].text, "Error: unable to open wave file.");
    EXPECT_EQ(m_encoder->EncodeFromWaveSync(name.get()), DISP_E_EXCEPTION);
    const auto error = takeErrorInfo();
    ASSERT_TRUE(error);
    EXPECT_EQ(toUtf8(error->description), "Error: unable to open wave file.");
    BSTR file = nullptr;
    EXPECT_EQ(m_encoder->get_Filename(&file), S_OK);
    SysFreeString(file);
    EXPECT_EQ(m_encoder->Close(), S_OK);
}

// The synchronous form raises 8000 Hz mono to 32000 Hz and fires nothing.
TEST_F(WaveControl, SynchronousEncodeFiresNoEvents)
{
    const std::string wave = makeWave("-r 8000 -c 1 -b 16", "synth 1 sine 1000");
    const Bstr out(std::string_view { m_folder.file("out") });
    ASSERT_EQ(m_encoder->Open(out.get()), S_OK);
    const Bstr name(std::string_view { wave });
    ASSERT_EQ(m_encoder->EncodeFromWaveSync(name.get()), S_OK);
    ASSERT_EQ(m_encoder->Close(), S_OK);
    PumpMessages();
    EXPECT_TRUE(m_events.empty());
    const auto decoded = mp3test::decodeWithMpg123(m_folder.file("out.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 32000);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_GT(mp3test::toneShare(decoded, 0, 1000.0), 0.8);
}

// Releasing the control while its wave thread runs stops and joins the thread: no crash, and the
// output is finished as a valid file.
TEST_F(WaveControl, ReleaseDuringEncodingJoinsTheThread)
{
    const std::string wave = makeWave("-r 44100 -c 2 -b 16", "synth 60 sine 1000");
    const Bstr out(std::string_view { m_folder.file("out") });
    ASSERT_EQ(m_encoder->Open(out.get()), S_OK);
    const Bstr name(std::string_view { wave });
    ASSERT_EQ(m_encoder->EncodeFromWave(name.get()), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    unadvise(m_encoder.get(), DIID__IVlsAudioEncoderEvents, m_cookie);
    m_encoder.reset();
    PumpMessages();
    const auto decoded = mp3test::decodeWithMpg123(m_folder.file("out.mp3"));
    ASSERT_TRUE(decoded.ok);
    EXPECT_LT(decoded.frames(), 60U * 44100U);
}
