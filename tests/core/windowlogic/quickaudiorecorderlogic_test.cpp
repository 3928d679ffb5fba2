#include "fakeaudiotools.h"
#include "fakeplatform.h"
#include "quickaudiorecorderlogic.h"

#include <gtest/gtest.h>

using namespace tmbr::gui;
using namespace tmbr::gui::test;

namespace {

constexpr const char* kTemporaryWave = "/home/me/.cache/tmbrsa/temp.wav";

struct Recorder {
    FakePlatform fakes;
    FakeMci mci;
    FakeLauncher launcher;
    FakeClock clock;
    FakeApplication application;
    FakeTimer timer1;
    FakeTimer readoutTimer;
    FakeRecorderEncoder encoder;
    QuickAudioRecorderLogic logic { { mci, fakes.messageBox, fakes.fileDialogs, fakes.cursor, launcher, clock,
        application, timer1, readoutTimer, encoder, kTemporaryWave } };

    Recorder() { logic.load(); }

    const RecorderState& state() const { return logic.state(); }

    void recordAndStop()
    {
        logic.cmdRecordClick();
        logic.cmdStopClick();
        mci.commands.clear();
    }
    // Runs timer ticks while the timer runs, at most `limit`; returns how many ran.
    int tick(int limit = 1000)
    {
        int ticks = 0;
        while (timer1.running && ticks < limit) {
            logic.timer1Tick();
            ++ticks;
        }
        return ticks;
    }
};

} // namespace

// At load: 22050 Hz with its nine bit rates and "56", Mono, MP3 output, only Record usable.
TEST(QuickAudioRecorderLogic, LoadsWithItsDesignState)
{
    Recorder r;
    const RecorderState& s = r.state();
    EXPECT_EQ(s.sampleRateOption, SampleRateOption::Hz22050);
    EXPECT_EQ(
        s.cmbQuality, (std::vector<std::string> { "128", "112", "96", "80", "64", "56", "32", "24", "16" }));
    EXPECT_EQ(s.cmbQuality[static_cast<std::size_t>(s.cmbQualityIndex)], "56");
    EXPECT_TRUE(s.cmbQualityEnabled);
    EXPECT_EQ(s.cmbChannels, "Mono");
    EXPECT_EQ(s.cmbOutputFormatItems, (std::vector<std::string> { "Save As Mp3", "Save As WAV" }));
    EXPECT_EQ(s.cmbOutputFormat, "Save As Mp3");
    EXPECT_FALSE(s.cmdStopEnabled);
    EXPECT_FALSE(s.cmdPlayEnabled);
    EXPECT_FALSE(s.cmdSaveEnabled);
    EXPECT_EQ(s.lblTime, "00.00");
    EXPECT_EQ(s.lblRec, "IDL");
    EXPECT_FALSE(s.picStatusVisible);
    EXPECT_EQ(s.progress, 0);
    EXPECT_TRUE(r.mci.commands.empty());
}

// A sample-rate click refills the quality list (seven rates at 44100 Hz) and selects "56";
// the WAV output format disables the list and the MP3 one enables it again.
TEST(QuickAudioRecorderLogic, SampleRateAndFormatShapeTheQualityList)
{
    Recorder r;
    r.logic.cmbQualityClick(0);
    r.logic.optClick(SampleRateOption::Hz44100);
    EXPECT_EQ(
        r.state().cmbQuality, (std::vector<std::string> { "128", "112", "96", "80", "64", "56", "32" }));
    EXPECT_EQ(r.state().cmbQualityIndex, 5);
    r.logic.optClick(SampleRateOption::Hz11025);
    EXPECT_EQ(r.state().cmbQuality.size(), 9u);
    EXPECT_EQ(r.state().cmbQualityIndex, 5);

    r.logic.cmbOutputFormatClick("Save As WAV");
    EXPECT_FALSE(r.state().cmbQualityEnabled);
    r.logic.cmbOutputFormatClick("Save As Mp3");
    EXPECT_TRUE(r.state().cmbQualityEnabled);
}

// Record sends close, open, the set command of the chosen rate and channels, and record, in
// this order; then Stop is usable, Play and Save are not, and the readout runs.
TEST(QuickAudioRecorderLogic, RecordSendsTheCommandsOfTheChosenFormat)
{
    struct Case {
        SampleRateOption option;
        const char* channels;
        const char* set;
    };
    const Case cases[] = {
        { SampleRateOption::Hz44100, "Stereo",
            "set recSound alignment 4 bitspersample 16  samplespersec 44100 channels 2 bytespersec 176400" },
        { SampleRateOption::Hz11025, "Mono",
            "set recSound alignment 2 bitspersample 16  samplespersec 11025 channels 1 bytespersec 22050" },
        { SampleRateOption::Hz22050, "Mono",
            "set recSound alignment 2 bitspersample 16  samplespersec 22050 channels 1 bytespersec 44100" },
        { SampleRateOption::Hz22050, "Stereo",
            "set recSound alignment 4 bitspersample 16  samplespersec 22050 channels 2 bytespersec 88200" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        Recorder r;
        r.logic.optClick(c.option);
        r.logic.cmbChannelsClick(c.channels);
        r.logic.cmdRecordClick();
        EXPECT_EQ(r.mci.sent(),
            (std::vector<std::string> {
                "close all", "open new Type waveaudio Alias recSound", c.set, "record recSound" }));
        EXPECT_TRUE(r.state().cmdStopEnabled);
        EXPECT_FALSE(r.state().cmdPlayEnabled);
        EXPECT_FALSE(r.state().cmdSaveEnabled);
        EXPECT_EQ(r.state().lblRec, "REC");
        EXPECT_TRUE(r.readoutTimer.running);
        EXPECT_TRUE(r.fakes.messageBox.shown.empty());
    }
}

// Open and set failures are shown and the sequence goes on; a record failure is shown and
// leaves the buttons as they were.
TEST(QuickAudioRecorderLogic, RecordFailuresShowTheMciError)
{
    Recorder r;
    r.mci.failures = { { "open", 270 }, { "set", 264 }, { "record", 264 } };
    r.logic.cmdRecordClick();
    EXPECT_EQ(r.mci.sent().size(), 4u);
    const std::vector<ShownBox> expected = { { MessageIcon::Critical, "Error", "ERROR 270 TEXT!" },
        { MessageIcon::Critical, "Error", "ERROR 264 TEXT!" },
        { MessageIcon::Critical, "Error", "ERROR 264 TEXT!" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
    EXPECT_FALSE(r.state().cmdStopEnabled);
    EXPECT_EQ(r.state().lblRec, "IDL");
    EXPECT_FALSE(r.readoutTimer.running);
}

// The readout shows seconds below a minute, then minutes and seconds.
TEST(QuickAudioRecorderLogic, ReadoutFormatsTheElapsedTime)
{
    EXPECT_EQ(recordingReadout(0), "00.00");
    EXPECT_EQ(recordingReadout(7), "00.07");
    EXPECT_EQ(recordingReadout(59), "00.59");
    EXPECT_EQ(recordingReadout(60), "01.00");
    EXPECT_EQ(recordingReadout(125), "02.05");
    EXPECT_EQ(recordingReadout(3599), "59.59");
    EXPECT_EQ(recordingReadout(6000), "100.00");
    // Rounded to the nearest second, halves to even; past midnight the count goes on.
    EXPECT_EQ(elapsedSeconds(100, 107.4), 7);
    EXPECT_EQ(elapsedSeconds(100, 102.5), 2);
    EXPECT_EQ(elapsedSeconds(100, 103.5), 4);
    EXPECT_EQ(elapsedSeconds(86399, 5.2), 6);
}

// While recording each readout tick shows the time since Record and the input level.
TEST(QuickAudioRecorderLogic, ReadoutTicksShowTimeAndLevel)
{
    Recorder r;
    r.clock.now = 3600.4; // start time 3600
    r.logic.cmdRecordClick();
    EXPECT_EQ(r.state().lblTime, "00.00");
    r.clock.now = 3725.3;
    r.mci.level = "16384";
    r.logic.readoutTick();
    EXPECT_EQ(r.state().lblTime, "02.05");
    EXPECT_EQ(r.state().lblRec, "REC");
    EXPECT_EQ(r.state().inputLevel, 50);
    EXPECT_EQ(r.mci.commands.back(), "status recSound level");

    r.logic.cmdStopClick();
    EXPECT_EQ(r.mci.sent().back(), "stop recSound");
    EXPECT_FALSE(r.readoutTimer.running);
    EXPECT_EQ(r.state().lblRec, "IDL");
    EXPECT_EQ(r.state().inputLevel, 0);
    EXPECT_TRUE(r.state().cmdStopEnabled);
    EXPECT_TRUE(r.state().cmdPlayEnabled);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    // After Stop a late tick changes nothing.
    r.clock.now = 9000;
    r.logic.readoutTick();
    EXPECT_EQ(r.state().lblTime, "02.05");
}

// Stop and Play failures are shown; Stop still ends the recording state.
TEST(QuickAudioRecorderLogic, StopAndPlayFailuresShowTheMciError)
{
    Recorder r;
    r.logic.cmdRecordClick();
    r.mci.failures = { { "stop", 273 }, { "play", 270 } };
    r.logic.cmdStopClick();
    EXPECT_EQ(r.state().lblRec, "IDL");
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    r.logic.cmdPlayClick();
    EXPECT_EQ(r.mci.sent().back(), "play recSound from 0");
    const std::vector<ShownBox> expected = { { MessageIcon::Critical, "Error", "ERROR 273 TEXT!" },
        { MessageIcon::Critical, "Error", "ERROR 270 TEXT!" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
}

// Saving as WAV: the dialog, 100 ticks of progress with the MCI save at tick 40 to the
// chosen file, then the message with the long path.
TEST(QuickAudioRecorderLogic, SavesAsWavOnTheTimer)
{
    Recorder r;
    r.recordAndStop();
    r.logic.cmbOutputFormatClick("Save As WAV");
    r.fakes.fileDialogs.results.push_back({ "/home/me/My Takes/take.wav" });
    r.logic.cmdSaveClick();
    const FileDialogRequest& request = r.fakes.fileDialogs.requests.front();
    EXPECT_EQ(request.mode, FileDialogMode::Save);
    EXPECT_EQ(request.title, "Save WAV File");
    EXPECT_EQ(request.filterName, "WAV Files");
    EXPECT_EQ(request.pattern, "*.wav");
    EXPECT_EQ(r.fakes.cursor.changes, std::vector<Pointer> { Pointer::Busy });
    EXPECT_FALSE(r.state().cmdSaveEnabled);
    EXPECT_TRUE(r.state().picStatusVisible);
    EXPECT_TRUE(r.timer1.running);

    EXPECT_EQ(r.tick(40), 40);
    EXPECT_TRUE(r.mci.commands.empty());
    EXPECT_EQ(r.state().progress, 39);
    r.logic.timer1Tick();
    EXPECT_EQ(r.mci.sent(), std::vector<std::string> { "save recSound /home/me/My Takes/take.wav wait" });
    EXPECT_EQ(r.state().lblOutputFile, "/home/me/My Takes/take.mp3");
    EXPECT_EQ(r.tick(59), 59);
    EXPECT_EQ(r.state().progress, 99);
    EXPECT_TRUE(r.fakes.messageBox.shown.empty());
    EXPECT_EQ(r.tick(), 1);
    EXPECT_FALSE(r.state().picStatusVisible);
    EXPECT_EQ(r.state().progress, 0);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    EXPECT_EQ(r.fakes.cursor.changes, (std::vector<Pointer> { Pointer::Busy, Pointer::Default }));
    const std::vector<ShownBox> expected
        = { { MessageIcon::Information, "Message", "WAV FILE GENERATED AS - /home/me/My Takes/take.wav" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
    EXPECT_TRUE(r.encoder.calls.empty());
}

// Saving as MP3: the recording goes to the temporary file at tick 40, then the encoder is set
// up in order (56 gives 56000) and its events drive the progress and the final message.
TEST(QuickAudioRecorderLogic, SavesAsMp3ThroughTheEncoder)
{
    Recorder r;
    r.logic.optClick(SampleRateOption::Hz44100);
    r.logic.cmbChannelsClick("Stereo");
    r.recordAndStop();
    r.fakes.fileDialogs.results.push_back({ "/home/me/song.mp3" });
    r.logic.cmdSaveClick();
    EXPECT_EQ(r.fakes.fileDialogs.requests.front().title, "Save Mp3 File");
    EXPECT_EQ(r.fakes.fileDialogs.requests.front().filterName, "Mp3 Files");
    EXPECT_EQ(r.fakes.fileDialogs.requests.front().pattern, "*.mp3");
    EXPECT_EQ(r.tick(), 101);
    EXPECT_EQ(
        r.mci.sent(), std::vector<std::string> { "save recSound /home/me/.cache/tmbrsa/temp.wav wait" });
    EXPECT_EQ(r.state().lblInputFile, kTemporaryWave);
    EXPECT_EQ(r.state().lblOutputFile, "/home/me/song.mp3");
    EXPECT_EQ(r.encoder.calls,
        (std::vector<std::string> { "Open /home/me/song.mp3", "ForceEncodedSamplerate 44100",
            "SetOutputFormatCBR 56000", "OverwritePrompt False",
            "EncodeFromWave /home/me/.cache/tmbrsa/temp.wav" }));
    EXPECT_FALSE(r.state().cmdSaveEnabled);
    EXPECT_EQ(r.fakes.cursor.changes, std::vector<Pointer> { Pointer::Busy });
    EXPECT_TRUE(r.fakes.messageBox.shown.empty());

    r.logic.OnWaveEncodeStart();
    EXPECT_TRUE(r.state().picStatusVisible);
    EXPECT_EQ(r.state().progress, 0);
    r.logic.OnWaveEncodeProgress(42);
    EXPECT_EQ(r.state().progress, 42);
    r.logic.OnWaveEncodeFinish();
    EXPECT_EQ(r.encoder.calls.back(), "Close");
    EXPECT_FALSE(r.state().picStatusVisible);
    EXPECT_EQ(r.state().progress, 0);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    EXPECT_EQ(r.fakes.cursor.changes, (std::vector<Pointer> { Pointer::Busy, Pointer::Default }));
    const std::vector<ShownBox> expected
        = { { MessageIcon::Information, "Message", "MP3 FILE GENERATED AS - /home/me/song.mp3" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
    EXPECT_EQ(r.application.ends, 0);
}

// The chosen bit rate and the recording's rate reach the encoder.
TEST(QuickAudioRecorderLogic, EncoderGetsTheChosenBitRate)
{
    Recorder r;
    r.logic.optClick(SampleRateOption::Hz11025);
    r.logic.cmbQualityClick(0);
    r.recordAndStop();
    r.logic.optClick(SampleRateOption::Hz44100); // after Record: the recording keeps 11025 Hz
    r.logic.cmbQualityClick(1);
    r.fakes.fileDialogs.results.push_back({ "/m/x.mp3" });
    r.logic.cmdSaveClick();
    r.tick();
    EXPECT_EQ(r.encoder.calls[1], "ForceEncodedSamplerate 11025");
    EXPECT_EQ(r.encoder.calls[2], "SetOutputFormatCBR 112000");
}

// A cancelled dialog saves nothing.
TEST(QuickAudioRecorderLogic, CancelledSaveDoesNothing)
{
    Recorder r;
    r.recordAndStop();
    r.logic.cmdSaveClick();
    EXPECT_FALSE(r.timer1.running);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    EXPECT_TRUE(r.fakes.cursor.changes.empty());
}

// An error event of the encoder shows the fatal message and ends the application.
TEST(QuickAudioRecorderLogic, EncoderErrorEndsTheApplication)
{
    Recorder r;
    r.recordAndStop();
    r.fakes.fileDialogs.results.push_back({ "/m/song.mp3" });
    r.logic.cmdSaveClick();
    r.tick();
    r.logic.OnWaveEncodeStart();
    r.logic.OnError("Bad wave file.");
    const std::vector<ShownBox> expected = { { MessageIcon::Critical, "Error",
        "BAD WAVE FILE.\nFATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
    EXPECT_FALSE(r.state().picStatusVisible);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    EXPECT_EQ(r.fakes.cursor.changes.back(), Pointer::Default);
    EXPECT_EQ(r.application.ends, 1);
    // The finish event that follows a write failure discards the output: no success message.
    r.logic.OnWaveEncodeFinish();
    EXPECT_EQ(r.encoder.calls.back(), "discard");
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
}

// A refused encoder set-up is shown and the recording stays to be saved again; the
// program goes on.
TEST(QuickAudioRecorderLogic, RefusedEncoderSetUpKeepsTheRecording)
{
    Recorder r;
    r.recordAndStop();
    r.encoder.failOn = "Open";
    r.fakes.fileDialogs.results.push_back({ "/readonly/song.mp3" });
    r.logic.cmdSaveClick();
    r.tick();
    EXPECT_EQ(r.encoder.calls, (std::vector<std::string> { "Open /readonly/song.mp3", "discard" }));
    const std::vector<ShownBox> expected
        = { { MessageIcon::Critical, "Error", "CANNOT CREATE FILE: PERMISSION DENIED!" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    EXPECT_FALSE(r.state().picStatusVisible);
    EXPECT_EQ(r.fakes.cursor.changes.back(), Pointer::Default);
    EXPECT_EQ(r.application.ends, 0);

    // An encoder that is not registered: the message also says how to register its server, as
    // written, not upper-cased.
    r.encoder.failHint = "The MP3 encoder control (vlsmp3x1.so) is not registered. Register it with: "
                         "/opt/t/bin/vlsregsvr /opt/t/lib/tmbrsa/vlsmp3x1.so";
    r.fakes.fileDialogs.results.push_back({ "/m/song.mp3" });
    r.logic.cmdSaveClick();
    r.tick();
    ASSERT_EQ(r.fakes.messageBox.shown.size(), 2u);
    EXPECT_EQ(
        r.fakes.messageBox.shown[1].text, "0X800401F3 (INVALID CLASS STRING)!\n\n" + r.encoder.failHint);
}

// A failed MCI save ends the save at once with the MCI error instead of a success message.
TEST(QuickAudioRecorderLogic, FailedMciSaveIsNotReportedAsSaved)
{
    Recorder r;
    r.recordAndStop();
    r.logic.cmbOutputFormatClick("Save As WAV");
    r.mci.failures = { { "save", 280 } };
    r.fakes.fileDialogs.results.push_back({ "/gone/take.wav" });
    r.logic.cmdSaveClick();
    EXPECT_EQ(r.tick(), 41);
    const std::vector<ShownBox> expected = { { MessageIcon::Critical, "Error", "ERROR 280 TEXT!" } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
    EXPECT_FALSE(r.timer1.running);
    EXPECT_FALSE(r.state().picStatusVisible);
    EXPECT_TRUE(r.state().cmdSaveEnabled);
    EXPECT_EQ(r.fakes.cursor.changes.back(), Pointer::Default);
}

// The recording-source button starts the volume control on its input page, or names the
// package to install.
TEST(QuickAudioRecorderLogic, RecordingSourceOpensTheVolumeControl)
{
    Recorder r;
    r.logic.cmdRecorderControlClick();
    EXPECT_EQ(r.launcher.started, std::vector<std::string> { "pavucontrol --tab=4" });
    EXPECT_TRUE(r.fakes.messageBox.shown.empty());
    r.launcher.installed = false;
    r.logic.cmdRecorderControlClick();
    const std::vector<ShownBox> expected = { { MessageIcon::Exclamation, "Warning",
        "NO VOLUME CONTROL FOUND. INSTALL THE PACKAGE PAVUCONTROL (PULSEAUDIO VOLUME CONTROL) TO SELECT THE "
        "RECORDING SOURCE." } };
    EXPECT_EQ(r.fakes.messageBox.shown, expected);
}

// Unloading closes every device and stops both timers.
TEST(QuickAudioRecorderLogic, UnloadClosesTheDevice)
{
    Recorder r;
    r.logic.cmdRecordClick();
    r.logic.unload();
    EXPECT_EQ(r.mci.sent().back(), "close all");
    EXPECT_FALSE(r.readoutTimer.running);
    EXPECT_FALSE(r.timer1.running);
}

// The temporary recording lives beside the scratch folder.
TEST(QuickAudioRecorderLogic, TemporaryWaveLivesBesideTheScratchFolder)
{
    EXPECT_EQ(temporaryWaveFor("/home/me/.cache/tmbrsa/temp/"), "/home/me/.cache/tmbrsa/temp.wav");
    EXPECT_EQ(temporaryWaveFor("/c/tmbrsa/temp"), "/c/tmbrsa/temp.wav");
}
