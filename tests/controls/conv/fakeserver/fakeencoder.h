#pragma once

// A scripted encoder (see fakeaudio.h). Flavour picks the class identity, the name and the event
// identity under which it publishes OnError.

#include "fakeaudio.h"
#include "fakescript.h"
#include "vlsaudioencoder.h"
#include "vlscom/bstr.h"
#include "vlsshell/control.h"

#include <chrono>
#include <thread>

template <> struct vlsshell::InterfaceInfo<IVlsAudioEncoder> {
    static const InterfaceDescription& description();
};

enum class EncoderFlavour { Published, Mute };

const vlsshell::ControlDescription& fakeEncoderDescription(EncoderFlavour flavour);

template <EncoderFlavour Flavour>
class FakeEncoder final
    : public vlsshell::Control<FakeEncoder<Flavour>, IVlsAudioEncoder, IAudioTag, IFakeAudio> {
public:
    static const vlsshell::ControlDescription& description() { return fakeEncoderDescription(Flavour); }

    bool onWindowMessage(UINT message, vlscom::WPARAM wParam)
    {
        if (message != WM_FAKE_ERROR)
            return false;
        const auto text = vlscom::Bstr::adopt(reinterpret_cast<BSTR>(wParam));
        this->fire(DISPID_Encoder_OnError, text);
        return true;
    }

    HRESULT Open(BSTR szFilename) override
    {
        m_script.log("Open " + vlscom::toUtf8(vlscom::bstrView(szFilename)));
        return S_OK;
    }
    HRESULT OpenHandle(std::int64_t) override { return E_NOTIMPL; }
    HRESULT SetInputFormat(std::int32_t, std::int32_t, std::int32_t) override { return E_NOTIMPL; }
    HRESULT SetInputFormatWFX(const WAVEFORMATEX* pWfx) override
    {
        m_script.log("SetInputFormatWFX " + std::to_string(pWfx->wFormatTag) + " "
            + std::to_string(pWfx->nChannels) + " " + std::to_string(pWfx->nSamplesPerSec) + " "
            + std::to_string(pWfx->wBitsPerSample));
        return failure(m_script.value("format"), "Fake format refused.");
    }
    HRESULT SetOutputFormatVBR(float) override { return E_NOTIMPL; }
    HRESULT SetOutputFormatABR(std::int32_t) override { return E_NOTIMPL; }
    HRESULT SetOutputFormatCBR(std::int32_t) override { return E_NOTIMPL; }
    HRESULT Write(const std::uint8_t*, std::int32_t count) override
    {
        m_script.log("Write " + std::to_string(count));
        std::this_thread::sleep_for(std::chrono::milliseconds(m_script.number("delay", 0)));
        return failure(m_script.failureAt("write", ++m_writes), "Fake write failed.", "fake encoder broke");
    }
    HRESULT Close() override
    {
        m_script.log("Close");
        return failure(m_script.value("close"), "Fake close failed.");
    }
    HRESULT get_Filename(BSTR* pVal) override
    {
        *pVal = nullptr;
        return E_NOTIMPL;
    }
    HRESULT get_AddExtension(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_AddExtension(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_TagData(IAudioTag** pVal) override
    {
        *pVal = nullptr;
        if (m_script.value("tags") == "none")
            return E_NOTIMPL;
        return this->QueryInterface(IAudioTag::iid, reinterpret_cast<void**>(pVal));
    }
    HRESULT get_OverwritePrompt(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_OverwritePrompt(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT EncodeFromWave(BSTR) override { return E_NOTIMPL; }
    HRESULT EncodeFromWaveSync(BSTR) override { return E_NOTIMPL; }
    HRESULT ForceEncodedSamplerate(std::int32_t) override { return E_NOTIMPL; }

    HRESULT get_Title(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_Title(BSTR newVal) override { return logTag("Title", newVal); }
    HRESULT get_Artist(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_Artist(BSTR newVal) override { return logTag("Artist", newVal); }
    HRESULT get_Album(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_Album(BSTR newVal) override { return logTag("Album", newVal); }
    HRESULT get_Year(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_Year(BSTR newVal) override { return logTag("Year", newVal); }
    HRESULT get_Genre(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_Genre(BSTR newVal) override { return logTag("Genre", newVal); }
    HRESULT get_TrackNo(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_TrackNo(BSTR newVal) override { return logTag("TrackNo", newVal); }
    HRESULT get_Comment(BSTR* pVal) override { return unreadable(pVal); }
    HRESULT put_Comment(BSTR newVal) override { return logTag("Comment", newVal); }

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
        *kind = vlscom::allocBstr(
            std::string_view(Flavour == EncoderFlavour::Published ? "FakeEncoder" : "FakeMuteEncoder"));
        return S_OK;
    }

private:
    static HRESULT unreadable(BSTR* pVal)
    {
        *pVal = nullptr;
        return E_NOTIMPL;
    }
    HRESULT logTag(const char* field, BSTR value)
    {
        m_script.log(std::string(field) + "=" + vlscom::toUtf8(vlscom::bstrView(value)));
        return S_OK;
    }

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
    int m_writes = 0;
};
