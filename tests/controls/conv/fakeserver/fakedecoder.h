#pragma once

// A scripted decoder (see fakeaudio.h). Flavour picks the class identity, the name and the event
// identity under which it publishes OnError.

#include "fakeaudio.h"
#include "fakescript.h"
#include "vlsaudiodecoder.h"
#include "vlscom/bstr.h"
#include "vlsshell/control.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

template <> struct vlsshell::InterfaceInfo<IVlsAudioDecoder> {
    static const InterfaceDescription& description();
};
template <> struct vlsshell::InterfaceInfo<IAudioTag> {
    static const InterfaceDescription& description();
};
template <> struct vlsshell::InterfaceInfo<IFakeAudio> {
    static const InterfaceDescription& description();
};

enum class DecoderFlavour { Published, Mute, Wave, Mpeg, Vorbis };

const vlsshell::ControlDescription& fakeDecoderDescription(DecoderFlavour flavour);
const char* fakeDecoderName(DecoderFlavour flavour);

template <DecoderFlavour Flavour>
class FakeDecoder final
    : public vlsshell::Control<FakeDecoder<Flavour>, IVlsAudioDecoder, IAudioTag, IFakeAudio> {
public:
    static const vlsshell::ControlDescription& description() { return fakeDecoderDescription(Flavour); }

    bool onWindowMessage(UINT message, vlscom::WPARAM wParam)
    {
        if (message != WM_FAKE_ERROR)
            return false;
        const auto text = vlscom::Bstr::adopt(reinterpret_cast<BSTR>(wParam));
        this->fire(DISPID_Decoder_OnError, text);
        return true;
    }

    HRESULT Open(BSTR szFilename) override
    {
        m_name = vlscom::toUtf8(vlscom::bstrView(szFilename));
        m_script.log("Open " + m_name);
        const bool refused = m_script.value("open") == "fail" || m_name.find("denied") != std::string::npos;
        return refused ? FAKE_E_DENIED : S_OK;
    }
    HRESULT OpenHandle(std::int64_t) override { return E_NOTIMPL; }
    HRESULT get_Position(std::int32_t* pVal) override
    {
        *pVal = m_reads;
        return S_OK;
    }
    HRESULT put_Position(std::int32_t) override { return E_NOTIMPL; }
    HRESULT get_Format(WAVEFORMATEX* pVal) override
    {
        m_script.log("Format");
        if (const HRESULT hr = failure(m_script.value("format"), "Fake format failed."); FAILED(hr))
            return hr;
        *pVal = WAVEFORMATEX { 1, 2, 44100, 176400, 4, 16, 0 };
        return S_OK;
    }
    HRESULT get_Bitrate(std::int32_t* pVal) override
    {
        *pVal = 0;
        return E_NOTIMPL;
    }
    HRESULT get_Duration(std::int32_t* pVal) override
    {
        const std::string duration = m_script.value("duration");
        if (duration == "fail")
            return E_FAIL;
        *pVal = duration.empty() ? m_script.number("blocks", 3) : std::stoi(duration);
        return S_OK;
    }
    HRESULT get_TagData(IAudioTag** pVal) override
    {
        *pVal = nullptr;
        m_script.log("TagData");
        const std::string tags = m_script.value("tags");
        if (tags == "none")
            return E_NOTIMPL;
        if (tags == "failinfo")
            return failure(tags, "Fake tags failed.");
        return this->QueryInterface(IAudioTag::iid, reinterpret_cast<void**>(pVal));
    }
    HRESULT get_Filename(BSTR* pVal) override
    {
        *pVal = nullptr;
        if (m_script.value("filename") == "fail")
            return FAKE_E_DENIED;
        *pVal = vlscom::allocBstr(std::string_view(m_name));
        return S_OK;
    }
    HRESULT Seek(std::int32_t) override { return E_NOTIMPL; }
    HRESULT Read(std::uint8_t* data, std::int32_t count, std::int32_t* read) override
    {
        *read = 0;
        m_script.log("Read");
        std::this_thread::sleep_for(std::chrono::milliseconds(m_script.number("delay", 0)));
        const std::string mode = m_script.failureAt("read", ++m_calls);
        if (!mode.empty())
            return failure(mode, "Fake read failed.", "fake decoder broke");
        if (m_reads >= m_script.number("blocks", 3))
            return S_OK;
        const std::int32_t bytes = std::min(count, m_script.number("bytes", 4096));
        std::memset(data, static_cast<int>(m_reads & 0x7F), static_cast<std::size_t>(bytes));
        *read = m_script.number("claim", bytes);
        ++m_reads;
        return S_OK;
    }
    HRESULT Close() override
    {
        m_script.log("Close");
        return failure(m_script.value("close"), "Fake close failed.");
    }
    HRESULT SetOutputFormat(std::int32_t, std::int32_t, std::int32_t) override { return E_NOTIMPL; }
    HRESULT SetOutputFormatWFX(const WAVEFORMATEX*) override { return E_NOTIMPL; }

    HRESULT get_Title(BSTR* pVal) override { return tag("title", pVal); }
    HRESULT put_Title(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Artist(BSTR* pVal) override { return tag("artist", pVal); }
    HRESULT put_Artist(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Album(BSTR* pVal) override { return tag("album", pVal); }
    HRESULT put_Album(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Year(BSTR* pVal) override { return tag("year", pVal); }
    HRESULT put_Year(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Genre(BSTR* pVal) override { return tag("genre", pVal); }
    HRESULT put_Genre(BSTR) override { return E_NOTIMPL; }
    HRESULT get_TrackNo(BSTR* pVal) override { return tag("track", pVal); }
    HRESULT put_TrackNo(BSTR) override { return E_NOTIMPL; }
    HRESULT get_Comment(BSTR* pVal) override { return tag("comment", pVal); }
    HRESULT put_Comment(BSTR) override { return E_NOTIMPL; }

    HRESULT put_Script(BSTR script) override
    {
        m_script.parse(vlscom::toUtf8(vlscom::bstrView(script)));
        return S_OK;
    }
    HRESULT get_Log(BSTR* log) override
    {
        *log = vlscom::allocBstr(std::string_view(m_script.logText()));
        return S_OK;
    }
    HRESULT get_Kind(BSTR* kind) override
    {
        *kind = vlscom::allocBstr(std::string_view(fakeDecoderName(Flavour)));
        return S_OK;
    }

private:
    HRESULT tag(const char* key, BSTR* pVal)
    {
        *pVal = vlscom::allocBstr(std::string_view(m_script.value(key)));
        return S_OK;
    }

    // The status for a failure mode ("" succeeds).
    HRESULT failure(const std::string& mode, const char* message, const char* eventText = "")
    {
        if (mode.empty())
            return S_OK;
        if (mode.ends_with("event")) {
            if (const BSTR text = vlscom::allocBstr(std::string_view(eventText)))
                this->post(WM_FAKE_ERROR, reinterpret_cast<vlscom::WPARAM>(text), vlscom::freeBstrPayload);
        }
        if (mode.starts_with("failinfo"))
            return this->guard([&]() -> HRESULT { throw vlsshell::ControlError(message); });
        return E_FAIL;
    }

    FakeScript m_script;
    std::string m_name;
    std::int32_t m_reads = 0;
    int m_calls = 0;
};
