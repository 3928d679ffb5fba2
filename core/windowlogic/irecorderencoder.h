#pragma once

#include <cstdint>
#include <string>

namespace tmbr::gui {

enum class OverwritePrompt { Off, On };

// The recorder's MP3 encoder control (EncoderRecorder) as the recorder drives it.
// Every call throws std::exception with the control's message when the control
// refuses it. Its events come back to QuickAudioRecorderLogic's On… handlers.
class IRecorderEncoder {
public:
    virtual ~IRecorderEncoder() = default;
    // The MP3 file is written under a temporary name beside mp3Path until Close.
    virtual void Open(const std::string& mp3Path) = 0;
    // Hz.
    virtual void ForceEncodedSamplerate(std::int32_t sampleRate) = 0;
    // Bits per second.
    virtual void SetOutputFormatCBR(std::int32_t bitrate) = 0;
    virtual void setOverwritePrompt(OverwritePrompt prompt) = 0;
    // Starts encoding the WAV file into the open output; returns at once.
    virtual void EncodeFromWave(const std::string& wavePath) = 0;
    // Finishes the output and puts it in place under the name given to Open.
    virtual void Close() = 0;
    // Closes the output and removes what was written: a file under the name given to Open stays
    // as it was.
    virtual void discard() = 0;
};

} // namespace tmbr::gui
