#include "quickaudiorecorderlogic.h"

#include "audiotools/componenterror.h"
#include "audiotools/mp3optimizer.h"
#include "audiotooltexts.h"
#include "messages.h"
#include "shortpath.h"

#include <charconv>
#include <cmath>

namespace tmbr::gui {

namespace {

constexpr const char* kAlias = "recSound";
constexpr int kSecondsPerDay = 86400;

std::string twoDigits(std::int32_t value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

// The leading decimal number of a text, 0 when there is none.
std::int32_t leadingNumber(const std::string& text)
{
    std::int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string withoutLastThree(const std::string& path)
{
    return path.substr(0, path.size() < 3 ? 0 : path.size() - 3);
}

// The set command for a format.
std::string setCommand(int sampleRate, int channels)
{
    const int alignment = channels * 2;
    return std::string("set ") + kAlias + " alignment " + std::to_string(alignment)
        + " bitspersample 16  samplespersec " + std::to_string(sampleRate) + " channels "
        + std::to_string(channels) + " bytespersec " + std::to_string(sampleRate * alignment);
}

} // namespace

std::string temporaryWaveFor(const std::string& scratchFolder)
{
    std::string folder = scratchFolder;
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    const std::size_t slash = folder.rfind('/');
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + "temp.wav";
}

std::string recordingReadout(std::int32_t elapsed)
{
    if (elapsed < 60)
        return "00." + twoDigits(elapsed);
    return twoDigits(elapsed / 60) + "." + twoDigits(elapsed % 60);
}

std::int32_t elapsedSeconds(std::int32_t startSecond, double now)
{
    double seconds = now - startSecond;
    if (seconds < 0)
        seconds += kSecondsPerDay;
    // The default rounding mode rounds halves to even.
    return static_cast<std::int32_t>(std::nearbyint(seconds));
}

QuickAudioRecorderLogic::QuickAudioRecorderLogic(RecorderServices services)
    : m_services(std::move(services))
{
}

std::uint32_t QuickAudioRecorderLogic::send(const std::string& command)
{
    return m_services.mci.mciSendString(command);
}

void QuickAudioRecorderLogic::showMciError(std::uint32_t result)
{
    showError(m_services.messageBox, audiotools::upperCase(m_services.mci.mciGetErrorString(result)) + "!");
}

void QuickAudioRecorderLogic::load()
{
    optClick(SampleRateOption::Hz22050);
    m_state.cmbChannels = text::kMono;
    m_state.cmdStopEnabled = false;
    m_state.cmdPlayEnabled = false;
    m_state.cmdSaveEnabled = false;
    m_state.cmbOutputFormatItems = { text::kSaveAsMp3, text::kSaveAsWav };
    cmbOutputFormatClick(text::kSaveAsMp3);
    m_state.progress = 0;
    m_state.picStatusVisible = false;
}

void QuickAudioRecorderLogic::unload()
{
    m_recording = false;
    m_services.readoutTimer.stop();
    m_services.timer1.stop();
    send("close all");
}

void QuickAudioRecorderLogic::optClick(SampleRateOption option)
{
    m_state.sampleRateOption = option;
    m_state.cmbQuality = bitRateItems(option);
    m_state.cmbQualityIndex = kDefaultBitRateIndex;
}

void QuickAudioRecorderLogic::cmbQualityClick(int index)
{
    if (index >= 0 && index < static_cast<int>(m_state.cmbQuality.size()))
        m_state.cmbQualityIndex = index;
}

void QuickAudioRecorderLogic::cmbChannelsClick(const std::string& text)
{
    m_state.cmbChannels = text;
}

void QuickAudioRecorderLogic::cmbOutputFormatClick(const std::string& text)
{
    m_state.cmbOutputFormat = text;
    m_state.cmbQualityEnabled = text != text::kSaveAsWav;
}

void QuickAudioRecorderLogic::cmdRecorderControlClick()
{
    if (!m_services.launcher.startProgram(text::kVolumeControl, { text::kVolumeControlInputPage }))
        m_services.messageBox.show(MessageIcon::Exclamation, text::kTitleWarning, text::kNoVolumeControl);
}

void QuickAudioRecorderLogic::cmdRecordClick()
{
    send("close all");
    if (const std::uint32_t result = send(std::string("open new Type waveaudio Alias ") + kAlias))
        showMciError(result);

    m_sampleRate = samplesPerSec(m_state.sampleRateOption);
    if (m_state.cmbChannels == text::kMono)
        m_channels = 1;
    else if (m_state.cmbChannels == text::kStereo)
        m_channels = 2;
    if (const std::uint32_t result = send(setCommand(m_sampleRate, m_channels)))
        showMciError(result);

    if (const std::uint32_t result = send(std::string("record ") + kAlias)) {
        showMciError(result);
        // "close all" above ended any recording that was running: its readout stops too.
        if (m_recording)
            stopReadout();
        return;
    }
    m_state.cmdStopEnabled = true;
    m_state.cmdPlayEnabled = false;
    m_state.cmdSaveEnabled = false;
    m_recording = true;
    m_startTime
        = static_cast<std::int32_t>(std::nearbyint(m_services.clock.secondsSinceMidnight())) % kSecondsPerDay;
    readoutTick();
    m_services.readoutTimer.start();
}

void QuickAudioRecorderLogic::readoutTick()
{
    if (!m_recording)
        return;
    m_state.lblTime = recordingReadout(elapsedSeconds(m_startTime, m_services.clock.secondsSinceMidnight()));
    m_state.lblRec = text::kRecRecording;
    std::string level;
    if (m_services.mci.mciSendString(std::string("status ") + kAlias + " level", &level) == 0)
        m_state.inputLevel = std::min(100, leadingNumber(level) * 100 / 32768);
    else
        m_state.inputLevel = 0;
}

void QuickAudioRecorderLogic::cmdStopClick()
{
    if (const std::uint32_t result = send(std::string("stop ") + kAlias))
        showMciError(result);
    stopReadout();
    m_state.cmdPlayEnabled = true;
    m_state.cmdSaveEnabled = true;
}

void QuickAudioRecorderLogic::stopReadout()
{
    m_recording = false;
    m_services.readoutTimer.stop();
    m_state.lblRec = text::kRecIdle;
    m_state.inputLevel = 0;
}

void QuickAudioRecorderLogic::cmdPlayClick()
{
    if (const std::uint32_t result = send(std::string("play ") + kAlias + " from 0"))
        showMciError(result);
}

void QuickAudioRecorderLogic::cmdSaveClick()
{
    const bool mp3 = m_state.cmbOutputFormat == text::kSaveAsMp3;
    const std::vector<std::string> chosen
        = m_services.fileDialogs.run({ FileDialogMode::Save, mp3 ? text::kSaveMp3Title : text::kSaveWavTitle,
            mp3 ? text::kMp3Filter : text::kWavFilter, mp3 ? text::kMp3Pattern : text::kWavPattern, {} });
    if (chosen.empty() || chosen.front().empty())
        return;
    m_wavePath = withoutLastThree(chosen.front()) + "wav";
    m_services.cursor.setPointer(Pointer::Busy);
    m_state.cmdSaveEnabled = false;
    m_state.picStatusVisible = true;
    m_saveTicks = 0;
    m_services.timer1.start();
}

void QuickAudioRecorderLogic::timer1Tick()
{
    if (m_saveTicks < 100) {
        if (m_saveTicks == 40 && !mciSave())
            return;
        m_state.progress = m_saveTicks;
        ++m_saveTicks;
        return;
    }
    if (!mp3Output()) {
        endSave();
        m_services.messageBox.show(
            MessageIcon::Information, text::kTitlePlainMessage, text::kWavGeneratedAs + m_wavePath);
        return;
    }
    m_services.timer1.stop();
    m_state.progress = 0;
    m_state.picStatusVisible = false;
    encodeMp3();
}

bool QuickAudioRecorderLogic::mciSave()
{
    std::string savePath;
    if (mp3Output()) {
        savePath = ShortPathOf(m_services.temporaryWave);
        m_state.lblInputFile = savePath;
    } else {
        savePath = ShortPathOf(m_wavePath);
    }
    const std::uint32_t result = send(std::string("save ") + kAlias + " " + savePath + " wait");
    m_state.lblOutputFile = withoutLastThree(m_wavePath) + "mp3";
    if (result == 0)
        return true;
    // A recording that could not be written is not reported as saved.
    endSave();
    showMciError(result);
    return false;
}

void QuickAudioRecorderLogic::endSave()
{
    m_services.timer1.stop();
    m_state.progress = 0;
    m_state.picStatusVisible = false;
    m_services.cursor.setPointer(Pointer::Default);
    m_state.cmdSaveEnabled = true;
}

void QuickAudioRecorderLogic::encodeMp3()
{
    const std::vector<std::string>& items = m_state.cmbQuality;
    const int index = m_state.cmbQualityIndex;
    const std::int32_t kbits
        = index >= 0 && index < static_cast<int>(items.size()) ? leadingNumber(items[index]) : 0;
    m_encodeFailed = false;
    try {
        m_services.encoder.Open(m_state.lblOutputFile);
        m_services.encoder.ForceEncodedSamplerate(m_sampleRate);
        m_services.encoder.SetOutputFormatCBR(kbits * 1000);
        m_services.encoder.setOverwritePrompt(OverwritePrompt::Off);
        m_services.encoder.EncodeFromWave(m_state.lblInputFile);
    } catch (const std::exception& error) {
        // The recording stays in the temporary file and in the device: the user may save again.
        m_services.encoder.discard();
        endSave();
        showError(m_services.messageBox,
            audiotools::upperCase(audiotools::descriptionOf(error)) + "!" + audiotools::hintBelow(error));
    }
}

void QuickAudioRecorderLogic::OnWaveEncodeStart()
{
    m_state.progress = 0;
    m_state.picStatusVisible = true;
}

void QuickAudioRecorderLogic::OnWaveEncodeProgress(int percentDone)
{
    m_state.progress = percentDone;
}

void QuickAudioRecorderLogic::OnWaveEncodeFinish()
{
    // A write failure ends with this event after its error, which has been reported.
    if (m_encodeFailed) {
        m_services.encoder.discard();
        return;
    }
    std::string closeError;
    try {
        m_services.encoder.Close();
    } catch (const std::exception& error) {
        closeError = error.what();
    }
    endSave();
    if (!closeError.empty()) {
        showError(m_services.messageBox, audiotools::upperCase(closeError) + "!");
        return;
    }
    m_services.messageBox.show(
        MessageIcon::Information, text::kTitlePlainMessage, text::kMp3GeneratedAs + m_state.lblOutputFile);
}

void QuickAudioRecorderLogic::OnError(const std::string& errorMessage)
{
    m_encodeFailed = true;
    m_state.progress = 0;
    m_state.picStatusVisible = false;
    showError(m_services.messageBox, audiotools::failedMessage(errorMessage));
    m_services.cursor.setPointer(Pointer::Default);
    m_state.cmdSaveEnabled = true;
    m_services.application.endApplication();
}

} // namespace tmbr::gui
