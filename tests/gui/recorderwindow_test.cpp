#include "fakeaudiotools.h"
#include "mci/mciinterpreter.h"
#include "modal.h"
#include "mp3testsupport.h"
#include "platform/componentevents.h"
#include "platform/qtclock.h"
#include "progressmeter.h"
#include "pulsedaemon.h"
#include "recorderwindow.h"
#include "tempfolder.h"
#include "testsupport.h"
#include "wavecontent.h"
#include "windowtestplatform.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace tmbr::gui;
using namespace tmbr::gui::test;

namespace {

template <typename T> T* child(QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        ADD_FAILURE() << "no child " << name;
    return found;
}

void choose(QComboBox* box, const QString& text)
{
    box->setCurrentText(text);
    emit box->textActivated(text);
}

// Recorded length of recSound in ms, from the device itself.
int recordedMs(IMci& mci)
{
    std::string reply;
    mci.mciSendString("status recSound length", &reply);
    return reply.empty() ? 0 : std::stoi(reply);
}

class RecorderWindowTest : public ::testing::Test {
protected:
    ServerLibrary& mp3Server()
    {
        static ServerLibrary library(VLS_MP3_SERVER);
        return library;
    }

    std::unique_ptr<RecorderWindow> open(IMci& mci)
    {
        auto window = std::make_unique<RecorderWindow>(
            AudioToolServices { fakes.messageBox, fakes.fileDialogs, launcher, clock, application }, mci,
            folder.file("cache/temp.wav"));
        window->show();
        return window;
    }

    // Records until the device holds `ms` milliseconds of sound (counted by the device).
    void record(RecorderWindow& window, IMci& mci, int ms)
    {
        child<QPushButton>(window, "cmdRecord")->click();
        EXPECT_EQ(child<QLabel>(window, "lblRec")->text(), "REC");
        EXPECT_TRUE(QTest::qWaitFor([&] { return recordedMs(mci) >= ms; }, 20000));
        child<QPushButton>(window, "cmdStop")->click();
        EXPECT_EQ(child<QLabel>(window, "lblRec")->text(), "IDL");
    }

    WindowTestPlatform fakes;
    FakeLauncher launcher;
    QtClock clock;
    FakeApplication application;
    TempFolder folder;
    ComponentMessagePump pump;
};

} // namespace

// The window shows its design-time captions, items and tool tips.
TEST_F(RecorderWindowTest, ShowsItsControls)
{
    MciInterpreter mci({ "unix:" + folder.file("none/native"), {}, {} });
    auto window = open(mci);
    EXPECT_EQ(window->windowTitle(), "Quick Audio Recorder");
    const std::pair<const char*, const char*> buttons[]
        = { { "cmdRecord", "&Record" }, { "cmdStop", "St&op" }, { "cmdPlay", "&Play" },
              { "cmdSave", "&Save Recording as Mp3" }, { "cmdClose", "&Close" },
              { "cmdRecorderControl", "Select Re&cording Source [Microphone, Line-in, etc.]" } };
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(child<QPushButton>(*window, name)->text(), caption) << name;
    EXPECT_EQ(child<QPushButton>(*window, "cmdRecorderControl")->toolTip(),
        " Recomended recording source - Microphone ");
    EXPECT_EQ(child<QRadioButton>(*window, "opt22")->text(), " 22050");
    EXPECT_TRUE(child<QRadioButton>(*window, "opt22")->isChecked());
    EXPECT_EQ(child<QComboBox>(*window, "cmbChannels")->currentText(), "Mono");
    EXPECT_EQ(child<QComboBox>(*window, "cmbQuality")->currentText(), "56");
    EXPECT_EQ(child<QComboBox>(*window, "cmbOutputFormat")->currentText(), "Save As Mp3");
    EXPECT_EQ(child<QLabel>(*window, "lblTime")->text(), "00.00");
    EXPECT_EQ(child<QLabel>(*window, "lblTime")->toolTip(), "Recording time");
    EXPECT_EQ(child<QLabel>(*window, "lblRec")->text(), "IDL");
    EXPECT_FALSE(child<QPushButton>(*window, "cmdStop")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*window, "cmdSave")->isEnabled());
    EXPECT_FALSE(child<ProgressMeter>(*window, "picStatus")->isVisible());
    choose(child<QComboBox>(*window, "cmbOutputFormat"), "Save As WAV");
    EXPECT_FALSE(child<QComboBox>(*window, "cmbQuality")->isEnabled());
    child<QRadioButton>(*window, "opt44")->click();
    EXPECT_EQ(child<QComboBox>(*window, "cmbQuality")->count(), 7);
}

// Without a sound server Record shows the MCI error and the window stays usable.
TEST_F(RecorderWindowTest, WithoutASoundServerRecordShowsTheError)
{
    MciInterpreter mci({ "unix:" + folder.file("none/native"), {}, {} });
    auto window = open(mci);
    auto seen = answerBox(QMessageBox::Ok);
    child<QPushButton>(*window, "cmdRecord")->click();
    EXPECT_EQ(seen->title, "Error");
    EXPECT_EQ(seen->icon, QMessageBox::Critical);
    EXPECT_EQ(seen->text,
        "THE SOUND SERVER IS NOT RUNNING OR CANNOT BE REACHED. START PULSEAUDIO (OR PIPEWIRE WITH ITS "
        "PULSEAUDIO "
        "SERVICE) AND TRY AGAIN!");
    EXPECT_FALSE(child<QPushButton>(*window, "cmdStop")->isEnabled());
    child<QPushButton>(*window, "cmdRecorderControl")->click();
    EXPECT_EQ(launcher.started, std::vector<std::string> { "pavucontrol --tab=4" });
    child<QPushButton>(*window, "cmdClose")->click();
    EXPECT_FALSE(window->isVisible());
}

// Record, Stop and Save as WAV to a path with blanks: a WAV of the chosen rate and channels
// holding the 440 Hz tone of the default source, and the message with its path.
TEST_F(RecorderWindowTest, RecordsAndSavesAWav)
{
    PulseDaemon daemon;
    ASSERT_TRUE(daemon.started()) << daemon.server();
    MciInterpreter mci({ daemon.server(), {}, {} });
    auto window = open(mci);
    child<QRadioButton>(*window, "opt44")->click();
    choose(child<QComboBox>(*window, "cmbChannels"), "Stereo");
    record(*window, mci, 500);
    EXPECT_TRUE(child<QPushButton>(*window, "cmdPlay")->isEnabled());

    choose(child<QComboBox>(*window, "cmbOutputFormat"), "Save As WAV");
    const std::string path = folder.file("my takes/take one.wav");
    std::filesystem::create_directory(folder.file("my takes"));
    fakes.fileDialogs.results.push_back({ path });
    auto seen = answerBox(QMessageBox::Ok);
    child<QPushButton>(*window, "cmdSave")->click();
    EXPECT_FALSE(child<QPushButton>(*window, "cmdSave")->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen->text.isEmpty(); }, 20000));
    EXPECT_EQ(seen->title, "Message");
    EXPECT_EQ(seen->icon, QMessageBox::Information);
    EXPECT_EQ(seen->text.toStdString(), "WAV FILE GENERATED AS - " + path);
    EXPECT_TRUE(child<QPushButton>(*window, "cmdSave")->isEnabled());

    const WaveContent wave = readWave(path);
    ASSERT_TRUE(wave.valid);
    EXPECT_EQ(wave.samplesPerSec, 44100u);
    EXPECT_EQ(wave.channels, 2);
    EXPECT_GE(wave.samples.size(), 44100u);
    EXPECT_NEAR(toneFrequency(wave.samples, 2, 44100, 0), 440.0, 5.0);
    EXPECT_NEAR(toneFrequency(wave.samples, 2, 44100, 1), 440.0, 5.0);
}

// Save as MP3 goes through the temporary WAV and the real encoder control: an MP3 of the
// recording's rate at the chosen bit rate that decodes to the tone.
TEST_F(RecorderWindowTest, RecordsAndSavesAnMp3ThroughTheEncoder)
{
    TemporaryRegistry registry;
    ASSERT_EQ(mp3Server().registerServer(), S_OK);
    PulseDaemon daemon;
    ASSERT_TRUE(daemon.started()) << daemon.server();
    MciInterpreter mci({ daemon.server(), {}, {} });
    std::filesystem::create_directory(folder.file("cache"));
    auto window = open(mci);
    record(*window, mci, 1000);

    const std::string path = folder.file("song.mp3");
    fakes.fileDialogs.results.push_back({ path });
    auto seen = answerBox(QMessageBox::Ok);
    child<QPushButton>(*window, "cmdSave")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !seen->text.isEmpty(); }, 60000));
    EXPECT_EQ(seen->title, "Message");
    EXPECT_EQ(seen->text.toStdString(), "MP3 FILE GENERATED AS - " + path);
    EXPECT_TRUE(std::filesystem::exists(folder.file("cache/temp.wav")));
    EXPECT_EQ(application.ends, 0);

    const mp3test::Decoded decoded = mp3test::decodeWithMpg123(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.sampleRate, 22050);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_GT(mp3test::toneShare(decoded, 0, 440.0), 0.9);
    const auto bitRate
        = mp3test::run("ffprobe -v error -select_streams a:0 -show_entries stream=bit_rate -of csv=p=0 "
            + mp3test::quoted(path));
    EXPECT_EQ(bitRate.output, "56000\n");
}
