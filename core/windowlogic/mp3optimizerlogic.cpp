#include "mp3optimizerlogic.h"

#include "audiotooltexts.h"
#include "messages.h"
#include "tooltips.h"

#include <charconv>

namespace tmbr::gui {

Mp3OptimizerLogic::Mp3OptimizerLogic(OptimizerServices services)
    : m_services(services)
{
}

void Mp3OptimizerLogic::load()
{
    optReClick(SampleRateOption::Hz22050);
    m_state.progress = 0;
    m_state.picStatusVisible = false;
}

void Mp3OptimizerLogic::optReClick(SampleRateOption option)
{
    m_state.sampleRateOption = option;
    m_state.cmbMp3Quality = bitRateItems(option);
    m_state.cmbMp3QualityIndex = kDefaultBitRateIndex;
}

void Mp3OptimizerLogic::cmbMp3QualityClick(int index)
{
    if (index >= 0 && index < static_cast<int>(m_state.cmbMp3Quality.size()))
        m_state.cmbMp3QualityIndex = index;
}

void Mp3OptimizerLogic::chkConvertMonoClick(bool checked)
{
    m_state.chkConvertMono = checked;
}

void Mp3OptimizerLogic::setInput(const std::string& path)
{
    m_state.lblInputSource = path;
    m_state.lblInputSourceTip = followingToolTip(path);
}

void Mp3OptimizerLogic::setOutput(const std::string& path)
{
    m_state.lblOutputDestination = path;
    m_state.lblOutputDestinationTip = followingToolTip(path);
}

void Mp3OptimizerLogic::cmdInputClick()
{
    const std::vector<std::string> chosen
        = m_services.fileDialogs.run({ FileDialogMode::OpenOne, text::kOpenMp3WavTitle, {}, {},
            { { text::kMp3Filter, text::kMp3PatternCapital }, { text::kWavFilter, text::kWavPattern } } });
    setInput(chosen.empty() ? std::string() : chosen.front());
}

void Mp3OptimizerLogic::cmdOutputClick()
{
    if (m_state.lblInputSource.empty()) {
        showError(m_services.messageBox, audiotools::kInputNotSpecified);
        return;
    }
    const std::vector<std::string> chosen = m_services.fileDialogs.run(
        { FileDialogMode::Save, text::kSaveMp3Title, text::kMp3Filter, text::kMp3Pattern, {} });
    setOutput(chosen.empty() ? std::string() : chosen.front());
}

void Mp3OptimizerLogic::cmdConvertClick()
{
    if (m_state.lblInputSource.empty()) {
        showError(m_services.messageBox, audiotools::kInputNotSpecified);
        return;
    }
    if (m_state.lblOutputDestination.empty()) {
        showError(m_services.messageBox, audiotools::kOutputNotSpecified);
        return;
    }
    // Not a bad source file: the window goes on and the user can choose another output.
    if (audiotools::sameFile(
            m_state.lblInputSource, audiotools::mp3OutputName(m_state.lblOutputDestination))) {
        showError(m_services.messageBox, audiotools::kOutputIsInput);
        return;
    }
    audiotools::OptimizerSettings settings;
    settings.inputPath = m_state.lblInputSource;
    settings.outputPath = m_state.lblOutputDestination;
    settings.sampleRate = samplesPerSec(m_state.sampleRateOption);
    std::int32_t kbits = 0;
    const int index = m_state.cmbMp3QualityIndex;
    if (index >= 0 && index < static_cast<int>(m_state.cmbMp3Quality.size())) {
        const std::string& item = m_state.cmbMp3Quality[static_cast<std::size_t>(index)];
        std::from_chars(item.data(), item.data() + item.size(), kbits);
    }
    settings.bitrate = kbits * 1000;
    settings.mono = m_state.chkConvertMono;
    m_runOutput = settings.outputPath;
    try {
        m_services.runner.convert(settings);
    } catch (const std::exception& error) {
        showError(m_services.messageBox, audiotools::kFatalError + audiotools::hintBelow(error));
        m_services.application.endApplication();
    }
}

void Mp3OptimizerLogic::started()
{
    m_state.cmdConvertEnabled = false;
    m_state.progress = 0;
    m_state.picStatusVisible = true;
}

void Mp3OptimizerLogic::progress(int percent)
{
    m_state.progress = percent;
}

void Mp3OptimizerLogic::finished(audiotools::OptimizerRoute route)
{
    m_state.cmdConvertEnabled = true;
    m_state.progress = 0;
    m_state.picStatusVisible = false;
    m_services.messageBox.show(
        MessageIcon::Information, text::kTitlePlainMessage, audiotools::finishedMessage(route, m_runOutput));
}

void Mp3OptimizerLogic::failed(const std::string& errorText)
{
    m_state.progress = 0;
    m_state.picStatusVisible = false;
    showError(m_services.messageBox, audiotools::failedMessage(errorText));
    m_services.cursor.setPointer(Pointer::Default);
    m_state.cmdConvertEnabled = true;
    m_services.application.endApplication();
}

} // namespace tmbr::gui
