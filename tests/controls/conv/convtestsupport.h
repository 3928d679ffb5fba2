#pragma once

// Shared by the converter tests: a temporary registry with vlsconv, the fake components and
// vlsmp3x1 registered; the converter created through it; its events recorded; and the owning
// thread's message pump.

#include "fakeaudio.h"
#include "testsupport.h"
#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/errorinfo.h"
#include "vlscom/eventsink.h"
#include "vlscom/messagequeue.h"
#include "vlsconv.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace convtest {

using namespace std::chrono_literals;

struct Event {
    DISPID id;
    std::string text; // the error message or the percentage
    std::chrono::steady_clock::time_point at;
    std::thread::id thread;
};

// "start", "progress 50", "error TEXT", "finish".
inline std::string describe(const Event& event)
{
    switch (event.id) {
    case DISPID_Converter_OnStart:
        return "start";
    case DISPID_Converter_OnProgress:
        return "progress " + event.text;
    case DISPID_Converter_OnError:
        return "error " + event.text;
    case DISPID_Converter_OnFinish:
        return "finish";
    default:
        return "unknown " + std::to_string(event.id);
    }
}

inline std::string utf8(const vlscom::Bstr& text)
{
    return text.utf8();
}

// The thread's error information as "source|description", or "none".
inline std::string takeError()
{
    const auto info = vlscom::takeErrorInfo();
    if (!info)
        return "none";
    return vlscom::toUtf8(info->source) + "|" + vlscom::toUtf8(info->description);
}

inline std::string converterError(const std::string& description)
{
    return "Aurikit.AudioConverter.1|" + description;
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(loadedServer(VLS_CONV_SERVER).registerServer(), S_OK);
        ASSERT_EQ(loadedServer(VLS_CONV_FAKES).registerServer(), S_OK);
        ASSERT_EQ(loadedServer(VLS_MP3_SERVER).registerServer(), S_OK);
        ASSERT_EQ(vlscom::createInstance(VlsAudioConverter_ProgID, m_converter), S_OK);
        ASSERT_TRUE(m_converter);
        m_sink = vlscom::makeObject<
            vlscom::EventSink>(DIID__IVlsAudioConverterEvents, [this](DISPID id, const DISPPARAMS& params) {
            std::string text;
            if (id == DISPID_Converter_OnError)
                text = vlscom::toUtf8(vlscom::stringArgument(params, 0).value_or(u"?"));
            else if (id == DISPID_Converter_OnProgress)
                text = std::to_string(vlscom::intArgument(params, 0).value_or(-999));
            m_events.push_back({ id, text, std::chrono::steady_clock::now(), std::this_thread::get_id() });
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

    template <class T> vlscom::ComPtr<T> createFake(REFCLSID clsid, const std::string& script = "")
    {
        vlscom::ComPtr<T> object;
        EXPECT_EQ(vlscom::createInstance(clsid, object), S_OK);
        if (object && !script.empty()) {
            EXPECT_EQ(fakeOf(object.get())->put_Script(vlscom::Bstr(script).get()), S_OK);
        }
        return object;
    }

    static vlscom::ComPtr<IFakeAudio> fakeOf(IUnknown* object)
    {
        vlscom::ComPtr<IFakeAudio> fake;
        if (object)
            object->QueryInterface(IFakeAudio::iid, fake.putVoid());
        return fake;
    }

    static std::string logOf(IUnknown* object)
    {
        vlscom::Bstr log;
        if (auto fake = fakeOf(object))
            fake->get_Log(log.put());
        return log.utf8();
    }

    // Connects a fake decoder and encoder with their scripts.
    void connectFakes(const std::string& decoderScript, const std::string& encoderScript,
        REFCLSID decoderClass = CLSID_FakeDecoder, REFCLSID encoderClass = CLSID_FakeEncoder)
    {
        m_decoder = createFake<IVlsAudioDecoder>(decoderClass, decoderScript);
        m_encoder = createFake<IVlsAudioEncoder>(encoderClass, encoderScript);
        ASSERT_EQ(m_converter->put_Source(m_decoder.get()), S_OK);
        ASSERT_EQ(m_converter->put_Destination(m_encoder.get()), S_OK);
    }

    // Dispatches the owning thread's messages until OnFinish arrives (or 60 s pass); true if it did.
    bool pumpUntilFinished()
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (std::chrono::steady_clock::now() < deadline) {
            vlscom::PumpMessages();
            if (!m_events.empty() && m_events.back().id == DISPID_Converter_OnFinish)
                return true;
            vlscom::WaitMessage(20ms);
        }
        return false;
    }

    // Dispatches messages for a while (events that should not come get their chance).
    void pumpFor(std::chrono::milliseconds time)
    {
        const auto until = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < until) {
            vlscom::PumpMessages();
            vlscom::WaitMessage(5ms);
        }
    }

    // The events so far, described and joined by ", ".
    std::string events() const
    {
        std::string text;
        for (const Event& event : m_events)
            text += (text.empty() ? "" : ", ") + describe(event);
        return text;
    }

    TemporaryRegistry m_registry;
    vlscom::ComPtr<IVlsAudioConverter> m_converter;
    vlscom::ComPtr<IVlsAudioDecoder> m_decoder;
    vlscom::ComPtr<IVlsAudioEncoder> m_encoder;
    vlscom::ComPtr<vlscom::EventSink> m_sink;
    DWORD m_cookie = 0;
    std::vector<Event> m_events;
};

} // namespace convtest
