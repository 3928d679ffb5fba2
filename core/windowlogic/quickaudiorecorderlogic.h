#pragma once

#include "bitratelist.h"
#include "irecorderencoder.h"
#include "platform/iapplication.h"
#include "platform/iclock.h"
#include "platform/icursor.h"
#include "platform/ifiledialogs.h"
#include "platform/imci.h"
#include "platform/imessagebox.h"
#include "platform/iprogramlauncher.h"
#include "platform/itimer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tmbr::gui {

// What frmQuickAudioRecorder shows; the window reflects it after every event.
struct RecorderState {
    SampleRateOption sampleRateOption = SampleRateOption::Hz22050;
    std::vector<std::string> cmbQuality;
    int cmbQualityIndex = -1;
    bool cmbQualityEnabled = true;
    std::string cmbChannels; // "Stereo" or "Mono"
    std::vector<std::string> cmbOutputFormatItems;
    std::string cmbOutputFormat; // "Save As Mp3" or "Save As WAV"
    bool cmdStopEnabled = false;
    bool cmdPlayEnabled = false;
    bool cmdSaveEnabled = false;
    std::string lblTime = "00.00";
    std::string lblRec = "IDL";
    int inputLevel = 0; // meter beside the readout, percent of full scale
    bool picStatusVisible = false;
    double progress = 0; // percent drawn in picStatus
    std::string lblInputFile;
    std::string lblOutputFile;
};

// Services of the recorder; all outlive the logic.
struct RecorderServices {
    IMci& mci;
    IMessageBox& messageBox;
    IFileDialogs& fileDialogs;
    ICursor& cursor;
    IProgramLauncher& launcher;
    IClock& clock;
    IApplication& application;
    ITimer& timer1; // 10 ms: the save sequence
    ITimer& readoutTimer; // while recording: readout and input level
    IRecorderEncoder& encoder; // EncoderRecorder
    std::string temporaryWave; // the recording before MP3 encoding
};

// Where the recorder keeps a recording before MP3 encoding: "temp.wav" in the
// folder above the scratch folder ("/home/u/.cache/tmbrsa/temp/" gives
// "/home/u/.cache/tmbrsa/temp.wav").
std::string temporaryWaveFor(const std::string& scratchFolder);

// The readout of `elapsed` recorded seconds: "00.07", "02.05", "100.00".
std::string recordingReadout(std::int32_t elapsed);

// Elapsed whole seconds between two times of day (ties to even); a recording
// that runs past midnight keeps counting up.
std::int32_t elapsedSeconds(std::int32_t startSecond, double now);

// frmQuickAudioRecorder: records through the MCI interpreter, saves the
// recording as WAV or, through EncoderRecorder, as MP3.
class QuickAudioRecorderLogic {
public:
    explicit QuickAudioRecorderLogic(RecorderServices services);

    const RecorderState& state() const { return m_state; }

    void load();
    void unload();
    void optClick(SampleRateOption option);
    void cmbQualityClick(int index);
    void cmbChannelsClick(const std::string& text);
    void cmbOutputFormatClick(const std::string& text);
    void cmdRecorderControlClick();
    void cmdRecordClick();
    void readoutTick();
    void cmdStopClick();
    void cmdPlayClick();
    void cmdSaveClick();
    void timer1Tick();

    // EncoderRecorder's events.
    void OnWaveEncodeStart();
    void OnWaveEncodeProgress(int percentDone);
    void OnWaveEncodeFinish();
    void OnError(const std::string& errorMessage);

private:
    std::uint32_t send(const std::string& command);
    void showMciError(std::uint32_t result);
    bool mp3Output() const { return m_state.cmbOutputFormat != "Save As WAV"; }
    bool mciSave(); // false when the save failed (and was reported)
    void encodeMp3();
    void endSave();
    // The recording's readout and input level stop; the readout shows idle.
    void stopReadout();

    RecorderServices m_services;
    RecorderState m_state;
    int m_sampleRate = 22050;
    int m_channels = 1;
    bool m_recording = false;
    std::int32_t m_startTime = 0;
    std::string m_wavePath;
    int m_saveTicks = 0;
    bool m_encodeFailed = false; // an OnError of the current encoding arrived
};

} // namespace tmbr::gui
