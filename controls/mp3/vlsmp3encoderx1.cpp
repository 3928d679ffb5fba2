#include "vlsmp3encoderx1.h"

#include "encodererror.h"
#include "lamebinding.h"
#include "vlscom/bstr.h"
#include "vlscom/messagebox.h"
#include "vlsmp3x1.h"
#include "waveencoding.h"

#include <system_error>

// The server's registration script for the encoder class (embedded from encoder.reg).
extern const char vlsmp3x1EncoderScript[];

namespace vlsshell {

const InterfaceDescription& InterfaceInfo<IVlsAudioEncoder>::description()
{
    using I = IVlsAudioEncoder;
    static const InterfaceDescription d { I::iid, "IVlsAudioEncoder", "IVlsAudioEncoder Interface",
        InterfaceKind::Dual,
        {
            method<&I::Open>(DISPID_Encoder_Open, "Open",
                "Create new MP3 file. If file with the same name exists overwrite it.", { "szFilename" }),
            method<&I::OpenHandle>(DISPID_Encoder_OpenHandle, "OpenHandle",
                "Open handle for writing and redirect encoded stream there.", { "hSource" }),
            method<&I::SetInputFormat>(DISPID_Encoder_SetInputFormat, "SetInputFormat",
                "Set format of input audio stream.", { "nChannels", "nSamplesPerSec", "nBitsPerSample" }),
            method<&I::SetInputFormatWFX>(DISPID_Encoder_SetInputFormatWFX, "SetInputFormatWFX",
                "Set format of input audio stream using standard WAVEFORMATEX structure.", { "pWfx" }),
            method<&I::SetOutputFormatVBR>(DISPID_Encoder_SetOutputFormatVBR, "SetOutputFormatVBR",
                "Set output to be encoded using variable bitrate mode with specified quality.",
                { "fQuality" }),
            method<&I::SetOutputFormatABR>(DISPID_Encoder_SetOutputFormatABR, "SetOutputFormatABR",
                "Set output to be encoded using average bitrate mode and have desired average bitrate.",
                { "nAvgBitrate" }),
            method<&I::SetOutputFormatCBR>(DISPID_Encoder_SetOutputFormatCBR, "SetOutputFormatCBR",
                "Set output to be encoded using constant bitrate mode and have desired exact bitrate.",
                { "nBitrate" }),
            method<&I::Write>(
                DISPID_Encoder_Write, "Write", "Encode and write audio samples.", { "data", "count" }),
            method<&I::Close>(DISPID_Encoder_Close, "Close", "Flush buffers and close file."),
            propget<&I::get_Filename>(DISPID_Encoder_Filename, "Filename", "Name of file being encoded."),
            propget<&I::get_AddExtension>(DISPID_Encoder_AddExtension, "AddExtension",
                "Automatically add extension to filename if it is not present."),
            propput<&I::put_AddExtension>(DISPID_Encoder_AddExtension, "AddExtension",
                "Automatically add extension to filename if it is not present."),
            propget<&I::get_TagData>(
                DISPID_Encoder_TagData, "TagData", "TagData object. Use it to do basic tagging of file."),
            propget<&I::get_OverwritePrompt>(
                DISPID_Encoder_OverwritePrompt, "OverwritePrompt", "Enable/disable overwrite prompt."),
            propput<&I::put_OverwritePrompt>(
                DISPID_Encoder_OverwritePrompt, "OverwritePrompt", "Enable/disable overwrite prompt."),
            method<&I::EncodeFromWave>(DISPID_Encoder_EncodeFromWave, "EncodeFromWave",
                "Read data from the *.wav file and process. This method works asynchronously, handle "
                "OnWaveEncodeStart, OnWaveEncodeProgress and OnWaveEncodeFinish if you wish.",
                { "waveFile" }),
            method<&I::EncodeFromWaveSync>(DISPID_Encoder_EncodeFromWaveSync, "EncodeFromWaveSync",
                "Read data from the *.wav file and process. This method works synchronously and fires no "
                "events.",
                { "waveFile" }),
            method<&I::ForceEncodedSamplerate>(
                DISPID_Encoder_ForceEncodedSamplerate, "ForceEncodedSamplerate", "", { "SampleRate" }),
        } };
    return d;
}

} // namespace vlsshell

namespace vlsmp3 {

using vlsshell::ControlError;
using vlsshell::requirePointer;

const vlsshell::InterfaceDescription& encoderEventsDescription()
{
    using vlsshell::event;
    using vlsshell::PARAMFLAG_FIN;
    static const vlsshell::InterfaceDescription d { DIID__IVlsAudioEncoderEvents, "_IVlsAudioEncoderEvents",
        "_IVlsAudioEncoderEvents Interface", vlsshell::InterfaceKind::DispInterface,
        {
            event(DISPID_Encoder_OnError, "OnError", "", { { "ErrorMessage", VT_BSTR, PARAMFLAG_FIN } }),
            event(DISPID_Encoder_OnWaveEncodeStart, "OnWaveEncodeStart", ""),
            event(DISPID_Encoder_OnWaveEncodeProgress, "OnWaveEncodeProgress", "",
                { { "PercentDone", VT_I4, PARAMFLAG_FIN } }),
            event(DISPID_Encoder_OnWaveEncodeFinish, "OnWaveEncodeFinish", ""),
        } };
    return d;
}

const vlsshell::ClassDescription& encoderClass()
{
    static const vlsshell::ClassDescription c { CLSID_VlsMP3Encoderx1, "Aurikit.MP3Encoderx1.1",
        vlsmp3x1EncoderScript, &VlsMP3Encoderx1::create };
    return c;
}

const vlsshell::ControlDescription& VlsMP3Encoderx1::description()
{
    static const vlsshell::ControlDescription control { &encoderClass(), &encoderEventsDescription(),
        "VlsMP3EncoderHelper", { DISPID_Encoder_AddExtension, DISPID_Encoder_OverwritePrompt },
        vlsshell::Aggregation::Allowed };
    return control;
}

template <class Body> HRESULT VlsMP3Encoderx1::call(Body&& body)
{
    return guard([&] {
        try {
            return body();
        } catch (const EncoderError& error) {
            throw ControlError(error.message());
        }
    });
}

VlsMP3Encoderx1::~VlsMP3Encoderx1()
{
    // The wave and encoding threads post to the helper window: they end here, before the window goes.
    m_stopWave = true;
    joinWaveThread();
    m_encoder.reset();
}

HRESULT VlsMP3Encoderx1::finalConstruct()
{
    return call([&] {
        m_encoder = std::make_unique<Mp3Encoder>(LameBinding::bound());
        m_encoder->setErrorSink([this](EncoderMessage, const std::string& message) { postError(message); });
        return S_OK;
    });
}

bool VlsMP3Encoderx1::onWindowMessage(UINT message, vlscom::WPARAM wParam)
{
    switch (message) {
    case WM_ENCODER_ERROR: {
        const auto text = vlscom::Bstr::adopt(reinterpret_cast<BSTR>(wParam));
        fire(DISPID_Encoder_OnError, text);
        return true;
    }
    case WM_ENCODER_WAVE_START:
        fire(DISPID_Encoder_OnWaveEncodeStart);
        return true;
    case WM_ENCODER_WAVE_PROGRESS:
        fire(DISPID_Encoder_OnWaveEncodeProgress, static_cast<std::int32_t>(wParam));
        return true;
    case WM_ENCODER_WAVE_FINISH:
        fire(DISPID_Encoder_OnWaveEncodeFinish);
        return true;
    default:
        return false;
    }
}

HRESULT VlsMP3Encoderx1::Open(BSTR szFilename)
{
    return call([&] {
        const vlscom::HWND owner = helperWindow();
        m_encoder->open(vlscom::toUtf8(vlscom::bstrView(szFilename)), [owner] {
            const int answer = vlscom::MessageBox(owner, messageText(EncoderMessage::OverwriteQuestion),
                messageText(EncoderMessage::OverwriteCaption), vlscom::MB_YESNO | vlscom::MB_ICONQUESTION);
            return answer == vlscom::IDYES ? OverwriteAnswer::Yes : OverwriteAnswer::No;
        });
        return S_OK;
    });
}

HRESULT VlsMP3Encoderx1::OpenHandle(std::int64_t hSource)
{
    return call([&] { m_encoder->openHandle(static_cast<std::intptr_t>(hSource)); });
}

HRESULT VlsMP3Encoderx1::SetInputFormat(
    std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample)
{
    return call([&] { m_encoder->setInputFormat(nChannels, nSamplesPerSec, nBitsPerSample); });
}

HRESULT VlsMP3Encoderx1::SetInputFormatWFX(const WAVEFORMATEX* pWfx)
{
    return call([&] {
        const WAVEFORMATEX& wfx = requirePointer(pWfx);
        m_encoder->setInputFormatWfx(WaveFormat { wfx.wFormatTag, wfx.nChannels, wfx.nSamplesPerSec,
            wfx.nAvgBytesPerSec, wfx.nBlockAlign, wfx.wBitsPerSample, wfx.cbSize });
    });
}

HRESULT VlsMP3Encoderx1::SetOutputFormatVBR(float fQuality)
{
    return call([&] { m_encoder->setOutputFormatVbr(fQuality); });
}

HRESULT VlsMP3Encoderx1::SetOutputFormatABR(std::int32_t nAvgBitrate)
{
    return call([&] { m_encoder->setOutputFormatAbr(nAvgBitrate); });
}

HRESULT VlsMP3Encoderx1::SetOutputFormatCBR(std::int32_t nBitrate)
{
    return call([&] { m_encoder->setOutputFormatCbr(nBitrate); });
}

HRESULT VlsMP3Encoderx1::Write(const std::uint8_t* data, std::int32_t count)
{
    return call([&] {
        requirePointer(data);
        if (count < 0)
            throw ControlError::status(E_INVALIDARG);
        m_encoder->write(data, static_cast<std::size_t>(count));
    });
}

HRESULT VlsMP3Encoderx1::Close()
{
    return call([&] {
        // A wave encoding still writing finishes first rather than racing the close.
        joinWaveThread();
        m_encoder->close();
    });
}

HRESULT VlsMP3Encoderx1::get_Filename(BSTR* pVal)
{
    return call([&] {
        BSTR& out = requirePointer(pVal);
        out = nullptr;
        out = vlscom::allocBstr(std::string_view(m_encoder->fileName()));
        return out ? S_OK : E_OUTOFMEMORY;
    });
}

HRESULT VlsMP3Encoderx1::get_AddExtension(VARIANT_BOOL* pVal)
{
    return call([&] { requirePointer(pVal) = m_encoder->addExtension() ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT VlsMP3Encoderx1::put_AddExtension(VARIANT_BOOL newVal)
{
    return call([&] { m_encoder->setAddExtension(newVal != VARIANT_FALSE); });
}

HRESULT VlsMP3Encoderx1::get_TagData(IAudioTag** pVal)
{
    return call([&] {
        IAudioTag*& out = requirePointer(pVal);
        out = nullptr;
        return QueryInterface(IAudioTag::iid, reinterpret_cast<void**>(&out));
    });
}

HRESULT VlsMP3Encoderx1::get_OverwritePrompt(VARIANT_BOOL* pVal)
{
    return call([&] { requirePointer(pVal) = m_encoder->overwritePrompt() ? VARIANT_TRUE : VARIANT_FALSE; });
}

HRESULT VlsMP3Encoderx1::put_OverwritePrompt(VARIANT_BOOL newVal)
{
    return call([&] { m_encoder->setOverwritePrompt(newVal != VARIANT_FALSE); });
}

void VlsMP3Encoderx1::postError(const std::string& message) const
{
    if (const BSTR text = vlscom::allocBstr(std::string_view(message)))
        post(WM_ENCODER_ERROR, reinterpret_cast<vlscom::WPARAM>(text), vlscom::freeBstrPayload);
}

void VlsMP3Encoderx1::joinWaveThread()
{
    if (m_waveThread.joinable())
        m_waveThread.join();
}

void VlsMP3Encoderx1::runWaveThread()
{
    struct Events final : WaveEncodeEvents {
        const VlsMP3Encoderx1& control;
        explicit Events(const VlsMP3Encoderx1& c)
            : control(c)
        {
        }
        void error(const std::string& message) override { control.postError(message); }
        void start() override { control.post(WM_ENCODER_WAVE_START); }
        void progress(int percent) override
        {
            control.post(WM_ENCODER_WAVE_PROGRESS, static_cast<vlscom::WPARAM>(percent));
        }
        void finish() override { control.post(WM_ENCODER_WAVE_FINISH); }
    } events(*this);
    encodeWave(*m_encoder, m_waveFile, events, m_stopWave);
}

HRESULT VlsMP3Encoderx1::EncodeFromWave(BSTR waveFile)
{
    return call([&] {
        if (!m_encoder->isOpen())
            throw ControlError(waveNotOpenMessage);
        // The previous wave thread has ended by contract; joining reclaims it.
        joinWaveThread();
        m_waveFile = vlscom::toUtf8(vlscom::bstrView(waveFile));
        m_stopWave = false;
        try {
            m_waveThread = std::thread([this] { runWaveThread(); });
        } catch (const std::system_error&) {
            throw ControlError(waveAbortedMessage);
        }
    });
}

HRESULT VlsMP3Encoderx1::EncodeFromWaveSync(BSTR waveFile)
{
    return call([&] {
        if (!m_encoder->isOpen())
            throw ControlError(waveNotOpenMessage);
        joinWaveThread();
        try {
            encodeWave(*m_encoder, vlscom::toUtf8(vlscom::bstrView(waveFile)));
        } catch (const WaveEncodeError& error) {
            throw ControlError(error.what());
        }
    });
}

HRESULT VlsMP3Encoderx1::ForceEncodedSamplerate(std::int32_t SampleRate)
{
    return call([&] { m_encoder->forceEncodedSamplerate(SampleRate); });
}

} // namespace vlsmp3
