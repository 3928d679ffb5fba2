#pragma once

#include "audiotools/encoderclient.h"
#include "irecorderencoder.h"
#include "vlscom/replacementfile.h"

#include <memory>

namespace tmbr::gui {

// EncoderRecorder: the MP3 encoder control by its ProgID, created at the first
// call (so that recording and WAV saving work without it), its events handed
// to `handlers` on this thread. The control writes a temporary file beside the output
// (audiotools::openEncoderOutput) that Close puts in place. Calls throw audiotools::ComponentError.
class RecorderEncoderClient : public IRecorderEncoder {
public:
    explicit RecorderEncoderClient(audiotools::EncoderEventHandlers handlers);
    ~RecorderEncoderClient() override;
    RecorderEncoderClient(const RecorderEncoderClient&) = delete;
    RecorderEncoderClient& operator=(const RecorderEncoderClient&) = delete;

    void Open(const std::string& mp3Path) override;
    void ForceEncodedSamplerate(std::int32_t sampleRate) override;
    void SetOutputFormatCBR(std::int32_t bitrate) override;
    void setOverwritePrompt(OverwritePrompt prompt) override;
    void EncodeFromWave(const std::string& wavePath) override;
    void Close() override;
    void discard() override;

private:
    audiotools::EncoderClient& client();

    audiotools::EncoderEventHandlers m_handlers;
    // Outlives the control, which closes the temporary file when it goes.
    vlscom::ReplacementFile m_output;
    std::unique_ptr<audiotools::EncoderClient> m_client;
};

} // namespace tmbr::gui
