#pragma once

// Shared by the vlsdec tests: the server registered in a temporary class registry, decoders
// created by class identity, fixtures made by sox, lame and ffmpeg in a temporary folder, and the
// reference decoders (sox, mpg123) as oracles.

#include "decodertestsupport.h"
#include "testsupport.h"
#include "vlsaudiodecoder.h"
#include "vlscom/activation.h"
#include "vlscom/bstr.h"
#include "vlscom/connectionpoint.h"
#include "vlscom/errorinfo.h"
#include "vlscom/eventsink.h"
#include "vlscom/messagequeue.h"
#include "vlsconv.h"
#include "vlsdec.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace dectest {

using namespace mp3test;

inline ServerLibrary& decoderServer()
{
    static ServerLibrary library(VLS_DEC_SERVER);
    return library;
}

// "source | description" of the thread's error information, or "none".
inline std::string errorText()
{
    const auto error = vlscom::takeErrorInfo();
    if (!error)
        return "none";
    return vlscom::toUtf8(error->source) + " | " + vlscom::toUtf8(error->description);
}

// Every byte the decoder delivers until a Read gives 0, in pieces of piece bytes.
inline std::vector<std::uint8_t> readAll(IVlsAudioDecoder* decoder, std::int32_t piece = 10000)
{
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(piece));
    for (;;) {
        std::int32_t got = 0;
        EXPECT_EQ(decoder->Read(buffer.data(), piece, &got), S_OK);
        if (got <= 0)
            break;
        out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    }
    return out;
}

inline std::u16string tag(IVlsAudioDecoder* decoder, HRESULT (IAudioTag::*get)(BSTR*))
{
    vlscom::ComPtr<IAudioTag> tags;
    EXPECT_EQ(decoder->get_TagData(tags.put()), S_OK);
    if (!tags)
        return u"<no tag object>";
    BSTR value = nullptr;
    EXPECT_EQ((tags.get()->*get)(&value), S_OK);
    std::u16string text(vlscom::bstrView(value));
    SysFreeString(value);
    return text;
}

inline WAVEFORMATEX format(IVlsAudioDecoder* decoder)
{
    WAVEFORMATEX f {};
    EXPECT_EQ(decoder->get_Format(&f), S_OK);
    return f;
}

inline std::int32_t intProperty(IVlsAudioDecoder* decoder, HRESULT (IVlsAudioDecoder::*get)(std::int32_t*))
{
    std::int32_t value = -1;
    EXPECT_EQ((decoder->*get)(&value), S_OK);
    return value;
}

// Raw sample bytes of any file sox reads, in the file's own encoding (or as given by rawArgs).
inline std::vector<std::uint8_t> soxRaw(const std::string& path, const std::string& rawArgs = "")
{
    const CommandResult raw = run("sox " + quoted(path) + " -t raw " + rawArgs + " - 2>/dev/null");
    return std::vector<std::uint8_t>(raw.output.begin(), raw.output.end());
}

// A wave file of a sine tone made by sox (format: e.g. "-r 44100 -c 2 -b 16"); "" when sox failed.
inline std::string makeWave(const TempFolder& folder, const std::string& name, const std::string& soxFormat,
    double seconds, int frequency = 440)
{
    const std::string path = folder.file(name);
    const CommandResult sox = run("sox -n " + soxFormat + " " + quoted(path) + " synth "
        + std::to_string(seconds) + " sine " + std::to_string(frequency) + " vol 0.5 2>&1");
    return sox.status == 0 ? path : "";
}

inline void putLe(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A RIFF chunk: identifier, size, contents and the pad byte of an odd size.
inline std::vector<std::uint8_t> riffChunk(const char* id, const std::vector<std::uint8_t>& contents)
{
    std::vector<std::uint8_t> bytes(id, id + 4);
    putLe(bytes, static_cast<std::uint32_t>(contents.size()), 4);
    bytes.insert(bytes.end(), contents.begin(), contents.end());
    if (contents.size() & 1)
        bytes.push_back(0);
    return bytes;
}

// A "fmt " record: the 16 bytes of the PCM form, then extra bytes (for cbSize and beyond).
inline std::vector<std::uint8_t> formatRecord(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate,
    std::uint32_t avgBytes, std::uint16_t blockAlign, std::uint16_t bits,
    const std::vector<std::uint8_t>& extra = {})
{
    std::vector<std::uint8_t> bytes;
    putLe(bytes, tag, 2);
    putLe(bytes, channels, 2);
    putLe(bytes, rate, 4);
    putLe(bytes, avgBytes, 4);
    putLe(bytes, blockAlign, 2);
    putLe(bytes, bits, 2);
    bytes.insert(bytes.end(), extra.begin(), extra.end());
    return bytes;
}

// A RIFF/WAVE file of these chunks.
inline std::vector<std::uint8_t> riffWave(const std::vector<std::vector<std::uint8_t>>& chunks)
{
    std::vector<std::uint8_t> body { 'W', 'A', 'V', 'E' };
    for (const auto& chunk : chunks)
        body.insert(body.end(), chunk.begin(), chunk.end());
    return riffChunk("RIFF", body);
}

// A connection to the decoder's OnError event under the identity the audio converter listens to;
// the texts arrive when the creating thread pumps its messages.
class ErrorListener {
public:
    explicit ErrorListener(IUnknown* decoder)
        : m_decoder(decoder)
    {
        m_sink = vlscom::makeObject<vlscom::EventSink>(
            DIID_VlsConv_IVlsAudioDecoderEvents, [this](DISPID event, const DISPPARAMS& params) {
                if (event == DISPID_Decoder_OnError)
                    m_texts.push_back(vlscom::toUtf8(vlscom::stringArgument(params, 0).value_or(u"<none>")));
            });
        EXPECT_EQ(vlscom::advise(decoder, DIID_VlsConv_IVlsAudioDecoderEvents, m_sink->identity(), &m_cookie),
            S_OK);
    }
    ErrorListener(const ErrorListener&) = delete;
    ErrorListener& operator=(const ErrorListener&) = delete;
    ~ErrorListener()
    {
        if (m_cookie)
            vlscom::unadvise(m_decoder, DIID_VlsConv_IVlsAudioDecoderEvents, m_cookie);
    }

    // The texts received after pumping the thread's messages (for up to a second while none came).
    const std::vector<std::string>& texts()
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        vlscom::PumpMessages();
        while (m_texts.empty() && std::chrono::steady_clock::now() < until) {
            vlscom::WaitMessage(std::chrono::milliseconds(50));
            vlscom::PumpMessages();
        }
        return m_texts;
    }

private:
    IUnknown* m_decoder;
    vlscom::ComPtr<vlscom::EventSink> m_sink;
    DWORD m_cookie = 0;
    std::vector<std::string> m_texts;
};

// A temporary registry with the vlsdec server registered, and a decoder of one class.
class DecoderFixture : public ::testing::Test {
protected:
    explicit DecoderFixture(const CLSID& clsid, const char* errorSource)
        : m_clsid(clsid)
        , m_errorSource(errorSource)
    {
    }

    void SetUp() override
    {
        ASSERT_EQ(decoderServer().registerServer(), S_OK);
        ASSERT_EQ(vlscom::createInstance(m_clsid, m_decoder), S_OK) << errorText();
        ASSERT_TRUE(m_decoder);
    }

    HRESULT open(const std::string& path) { return m_decoder->Open(vlscom::Bstr(path).get()); }
    std::vector<std::uint8_t> readAll(std::int32_t piece = 10000)
    {
        return dectest::readAll(m_decoder.get(), piece);
    }
    std::u16string tag(HRESULT (IAudioTag::*get)(BSTR*)) { return dectest::tag(m_decoder.get(), get); }
    WAVEFORMATEX format() { return dectest::format(m_decoder.get()); }
    std::int32_t duration() { return intProperty(m_decoder.get(), &IVlsAudioDecoder::get_Duration); }
    std::int32_t position() { return intProperty(m_decoder.get(), &IVlsAudioDecoder::get_Position); }
    std::int32_t bitrate() { return intProperty(m_decoder.get(), &IVlsAudioDecoder::get_Bitrate); }
    // The expected error information text for a message of this class.
    std::string failure(const std::string& message) const { return m_errorSource + " | " + message; }

    TemporaryRegistry m_registry;
    TempFolder m_folder;
    CLSID m_clsid;
    std::string m_errorSource;
    vlscom::ComPtr<IVlsAudioDecoder> m_decoder;
};

} // namespace dectest
