#include "recorderencoderclient.h"

namespace tmbr::gui {

RecorderEncoderClient::RecorderEncoderClient(audiotools::EncoderEventHandlers handlers)
    : m_handlers(std::move(handlers))
{
}

RecorderEncoderClient::~RecorderEncoderClient() = default;

audiotools::EncoderClient& RecorderEncoderClient::client()
{
    if (!m_client) {
        m_client = std::make_unique<audiotools::EncoderClient>();
        m_client->setHandlers(m_handlers);
    }
    return *m_client;
}

void RecorderEncoderClient::Open(const std::string& mp3Path)
{
    client().Open(mp3Path);
}

void RecorderEncoderClient::ForceEncodedSamplerate(std::int32_t sampleRate)
{
    client().ForceEncodedSamplerate(sampleRate);
}

void RecorderEncoderClient::SetOutputFormatCBR(std::int32_t bitrate)
{
    client().SetOutputFormatCBR(bitrate);
}

void RecorderEncoderClient::setOverwritePrompt(OverwritePrompt prompt)
{
    client().setOverwritePrompt(
        prompt == OverwritePrompt::On ? audiotools::Setting::On : audiotools::Setting::Off);
}

void RecorderEncoderClient::EncodeFromWave(const std::string& wavePath)
{
    client().EncodeFromWave(wavePath);
}

void RecorderEncoderClient::Close()
{
    if (m_client)
        m_client->Close();
}

} // namespace tmbr::gui
