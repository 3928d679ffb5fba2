#include "recorderencoderclient.h"

#include "audiotools/outputfile.h"

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
    audiotools::openEncoderOutput(client(), mp3Path, m_output);
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
    if (!m_output.path().empty())
        audiotools::commitOutput(m_output);
}

void RecorderEncoderClient::discard()
{
    try {
        if (m_client)
            m_client->Close();
    } catch (const audiotools::ComponentError&) {
        // Closed all the same; what it wrote goes below.
    }
    m_output.discard();
}

} // namespace tmbr::gui
