#pragma once

// Captions, items, tool tips and messages of the two audio tool windows, byte for byte.
namespace tmbr::gui::text {

inline constexpr const char* kTitlePlainMessage = "Message";

// frmQuickAudioRecorder
inline constexpr const char* kRecorderCaption = "Quick Audio Recorder";
inline constexpr const char* kRecordCaption = "&Record";
inline constexpr const char* kRecordTip = " Start recording ";
inline constexpr const char* kStopCaption = "St&op";
inline constexpr const char* kStopTip = " Stop recording ";
inline constexpr const char* kPlayCaption = "&Play";
inline constexpr const char* kPlayTip = " Playback ";
inline constexpr const char* kSaveCaption = "&Save Recording as Mp3";
inline constexpr const char* kSaveTip = " Save ";
inline constexpr const char* kCloseCaption = "&Close";
inline constexpr const char* kCloseTip = " Close this window ";
inline constexpr const char* kRecorderControlCaption = "Select Re&cording Source [Microphone, Line-in, etc.]";
inline constexpr const char* kRecorderControlTip = " Recomended recording source - Microphone ";
inline constexpr const char* kOpt44Caption = "44100";
inline constexpr const char* kOpt22Caption = " 22050";
inline constexpr const char* kOpt11Caption = "11025";
inline constexpr const char* kSampleRateLabel = "Sample Rate (Hz):";
inline constexpr const char* kChannelTypeLabel = "Channel Type:";
inline constexpr const char* kStereo = "Stereo";
inline constexpr const char* kMono = "Mono";
inline constexpr const char* kOutputFormatLabel = "Output Format:";
inline constexpr const char* kSaveAsMp3 = "Save As Mp3";
inline constexpr const char* kSaveAsWav = "Save As WAV";
inline constexpr const char* kRecorderQualityLabel = "Mp3  Quality (Kbps) :";
inline constexpr const char* kTimeTip = "Recording time";
inline constexpr const char* kRecTip = "Recording status";
inline constexpr const char* kLevelTip = "Input level";
inline constexpr const char* kGroupRecordingSource = "Recording Source";
inline constexpr const char* kGroupSettings = "Settings";
inline constexpr const char* kGroupControls = "Controls";
inline constexpr const char* kGroupOutput = "Output";
inline constexpr const char* kTimeIdle = "00.00";
inline constexpr const char* kRecIdle = "IDL";
inline constexpr const char* kRecRecording = "REC";
inline constexpr const char* kSaveMp3Title = "Save Mp3 File";
inline constexpr const char* kSaveWavTitle = "Save WAV File";
inline constexpr const char* kWavFilter = "WAV Files";
inline constexpr const char* kWavPattern = "*.wav";
inline constexpr const char* kWavGeneratedAs = "WAV FILE GENERATED AS - ";
inline constexpr const char* kMp3GeneratedAs = "MP3 FILE GENERATED AS - ";
// The desktop's volume control, opened on its input page.
inline constexpr const char* kVolumeControl = "pavucontrol";
inline constexpr const char* kVolumeControlInputPage = "--tab=4";
inline constexpr const char* kNoVolumeControl
    = "NO VOLUME CONTROL FOUND. INSTALL THE PACKAGE PAVUCONTROL (PULSEAUDIO VOLUME CONTROL) TO SELECT THE "
      "RECORDING SOURCE.";

// frmMp3Opti
inline constexpr const char* kOptimizerCaption = "Mp3 Optimizer";
inline constexpr const char* kInputCaption = "&Input File";
inline constexpr const char* kInputTip = " Select input audio file ";
inline constexpr const char* kOutputCaption = "&Output File";
inline constexpr const char* kOutputTip = " Select output file name and location ";
inline constexpr const char* kConvertCaption = "&Convert/Optimize File";
inline constexpr const char* kConvertTip = " Start conversion or optimization ";
inline constexpr const char* kOptimizerQualityLabel = "Mp3  Quality (Kbps):";
inline constexpr const char* kOptimizerQualityTip = " Set Mp3 quality of output file ";
inline constexpr const char* kResampleLabel = "Re-Sample Rate (Hz):";
inline constexpr const char* kResampleTip = " Set re-sample rate of output file ";
inline constexpr const char* kConvertMonoLabel = "Convert to Mono:";
inline constexpr const char* kConvertMonoTip = " Convert stereo to mono ";
inline constexpr const char* kGroupInput = "Input";
inline constexpr const char* kOpenMp3WavTitle = "Open Mp3/WAV File";
inline constexpr const char* kMp3PatternCapital = "*.Mp3";

} // namespace tmbr::gui::text
