#pragma once

// The MP3 encoder control ("Aurikit.MP3Encoderx1") as a host drives it: created by ProgID through
// the class registry, called by DISPID, its events handed to plain callbacks.
//
// Events arrive on the thread that created the client, while that thread dispatches its messages
// (vlscom::PumpMessages(), or its own loop watching vlscom::MessageQueueFd()). Every call throws
// ComponentError with the control's message when the control refuses it.

#include "componenterror.h"
#include "progressevents.h"
#include "vlsaudioencoder.h"
#include "vlscom/comptr.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tmbr::audiotools {

enum class Setting { Off, On };

enum class TagField { Title, Artist, Album, Year, Genre, TrackNo, Comment };

// Handlers for the four events of _IVlsAudioEncoderEvents; an empty one ignores its event.
struct EncoderEventHandlers {
    std::function<void(const std::string& errorMessage)> OnError;
    std::function<void()> OnWaveEncodeStart;
    std::function<void(int percentDone)> OnWaveEncodeProgress;
    std::function<void()> OnWaveEncodeFinish;
};

// The name Open gives the output while AddExtension is On: the path, with ".mp3" added unless it
// ends in ".mp3" (any case).
std::string mp3OutputName(const std::string& path);

// True when both paths name one existing file, however spelled or linked (same device and inode),
// so that opening the output would destroy the input.
bool sameFile(const std::string& input, const std::string& output);

class EncoderClient {
public:
    // Creates the control and connects to its events. Throws ComponentError when the class is not
    // registered or cannot be created.
    EncoderClient();
    // Disconnects; no handler runs after this. The control lives on while others hold it.
    ~EncoderClient() = default;
    EncoderClient(const EncoderClient&) = delete;
    EncoderClient& operator=(const EncoderClient&) = delete;

    // Replaces the handlers; may be called from inside a handler.
    void setHandlers(EncoderEventHandlers handlers) { m_events.setHandlers(std::move(handlers)); }

    // The control itself, e.g. to hand it to a converter as its Destination.
    IVlsAudioEncoder* control() const { return m_encoder.get(); }

    // With On, Open of an existing file asks the host's message box handler (No cancels).
    void setOverwritePrompt(Setting prompt);
    bool overwritePrompt() const;
    // With On, Open adds ".mp3" to a name that does not end in it (any case).
    void setAddExtension(Setting add);

    // Creates the output file (UTF-8 path), replacing an existing one when the prompt is off.
    void Open(const std::string& path);
    // The name of the open output, ".mp3" added where the control added it.
    std::string Filename() const;
    // Channels 1 or 2, Hz, bits 8 or 16.
    void SetInputFormat(std::int32_t channels, std::int32_t samplesPerSec, std::int32_t bitsPerSample);
    void SetInputFormatWFX(const WAVEFORMATEX& format);
    // Quality 0 (smallest) to 1 (best).
    void SetOutputFormatVBR(float quality);
    // Bits per second.
    void SetOutputFormatABR(std::int32_t averageBitrate);
    void SetOutputFormatCBR(std::int32_t bitrate);
    // Output sample rate in Hz; 0 lets the engine choose.
    void ForceEncodedSamplerate(std::int32_t sampleRate);

    void setTag(TagField field, const std::string& utf8);
    std::string tag(TagField field) const;

    // Encodes a WAV file into the open output on the control's own thread: OnWaveEncodeStart,
    // OnWaveEncodeProgress, OnWaveEncodeFinish follow (or OnError alone when the file or its format
    // is refused before the start). Make no other call on the control until the run has ended.
    void EncodeFromWave(const std::string& wavePath);
    // The same on the calling thread, without events.
    void EncodeFromWaveSync(const std::string& wavePath);
    // Bytes of PCM in the input format; blocks while the encoder is behind.
    void Write(const std::uint8_t* data, std::int32_t count);
    // Finishes the output (tags, VBR header); succeeds when nothing is open.
    void Close();

private:
    vlscom::ComPtr<IVlsAudioEncoder> m_encoder;
    ProgressEvents<EncoderEventHandlers> m_events;
};

} // namespace tmbr::audiotools
