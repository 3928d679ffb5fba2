#pragma once

// The MP3 encoder control: IVlsAudioEncoder and IAudioTag on one object, the event source of
// _IVlsAudioEncoderEvents. Failures of the encoding thread reach the host as OnError, posted to
// the control's helper window and fired on the thread that owns the control.

#include "audiotagmembers.h"
#include "mp3encoder.h"
#include "vlsaudioencoder.h"
#include "vlsshell/control.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

template <> struct vlsshell::InterfaceInfo<IVlsAudioEncoder> {
    static const InterfaceDescription& description();
};

namespace vlsmp3 {

// Helper-window messages (user message base + 50 to + 53). wParam: the error text (a BSTR the
// window procedure frees), 0, the percentage, 0.
inline constexpr UINT WM_ENCODER_ERROR = 1074;
inline constexpr UINT WM_ENCODER_WAVE_START = 1075;
inline constexpr UINT WM_ENCODER_WAVE_PROGRESS = 1076;
inline constexpr UINT WM_ENCODER_WAVE_FINISH = 1077;

const vlsshell::InterfaceDescription& encoderEventsDescription();
// The class as vlsmp3x1 registers and creates it.
const vlsshell::ClassDescription& encoderClass();

class VlsMP3Encoderx1 final
    : public vlsshell::Control<VlsMP3Encoderx1, IVlsAudioEncoder, AudioTagMembers<VlsMP3Encoderx1>> {
public:
    static const vlsshell::ControlDescription& description();

    VlsMP3Encoderx1() = default;
    // Stops a running wave encoding after its current piece and joins its thread, then finishes an
    // open output as Close does (the encoding thread is joined here).
    ~VlsMP3Encoderx1() override;
    VlsMP3Encoderx1(const VlsMP3Encoderx1&) = delete;
    VlsMP3Encoderx1& operator=(const VlsMP3Encoderx1&) = delete;

    // Binds the encoding engine: fails with its message when the library cannot be used.
    HRESULT finalConstruct();
    bool onWindowMessage(UINT message, vlscom::WPARAM wParam);

    // IVlsAudioEncoder
    HRESULT Open(BSTR szFilename) override;
    HRESULT OpenHandle(std::int64_t hSource) override;
    HRESULT SetInputFormat(
        std::int32_t nChannels, std::int32_t nSamplesPerSec, std::int32_t nBitsPerSample) override;
    HRESULT SetInputFormatWFX(const WAVEFORMATEX* pWfx) override;
    HRESULT SetOutputFormatVBR(float fQuality) override;
    HRESULT SetOutputFormatABR(std::int32_t nAvgBitrate) override;
    HRESULT SetOutputFormatCBR(std::int32_t nBitrate) override;
    HRESULT Write(const std::uint8_t* data, std::int32_t count) override;
    HRESULT Close() override;
    HRESULT get_Filename(BSTR* pVal) override;
    HRESULT get_AddExtension(VARIANT_BOOL* pVal) override;
    HRESULT put_AddExtension(VARIANT_BOOL newVal) override;
    HRESULT get_TagData(IAudioTag** pVal) override;
    HRESULT get_OverwritePrompt(VARIANT_BOOL* pVal) override;
    HRESULT put_OverwritePrompt(VARIANT_BOOL newVal) override;
    HRESULT EncodeFromWave(BSTR waveFile) override;
    HRESULT EncodeFromWaveSync(BSTR waveFile) override;
    HRESULT ForceEncodedSamplerate(std::int32_t SampleRate) override;

private:
    // guard() that also turns the engine's EncoderError into the control's error.
    template <class Body> HRESULT call(Body&& body);
    friend AudioTagMembers<VlsMP3Encoderx1>;
    TagFields& tagFields() { return m_encoder->tags(); }
    // Waits for the wave thread of the last EncodeFromWave, if any.
    void joinWaveThread();
    // Posts an OnError with the text (UTF-8) to the helper window, from any thread.
    void postError(const std::string& message) const;
    void runWaveThread();

    std::unique_ptr<Mp3Encoder> m_encoder;
    std::string m_waveFile; // UTF-8, for the wave thread
    std::thread m_waveThread;
    std::atomic<bool> m_stopWave { false };
};

} // namespace vlsmp3
