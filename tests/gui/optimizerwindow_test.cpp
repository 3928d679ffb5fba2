#include "fakeaudiotools.h"
#include "modal.h"
#include "mp3testsupport.h"
#include "optimizerwindow.h"
#include "platform/componentevents.h"
#include "platform/qtclock.h"
#include "progressmeter.h"
#include "tempfolder.h"
#include "testsupport.h"
#include "windowtestplatform.h"

#include <QCheckBox>
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

class OptimizerWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(server(VLS_MP3_SERVER).registerServer(), S_OK);
        ASSERT_EQ(server(VLS_CONV_SERVER).registerServer(), S_OK);
        window.show();
    }

    static ServerLibrary& server(const char* path)
    {
        static ServerLibrary mp3(VLS_MP3_SERVER);
        static ServerLibrary conv(VLS_CONV_SERVER);
        return std::string(path) == VLS_MP3_SERVER ? mp3 : conv;
    }

    // A 2-second 440 Hz tone, 44100 Hz stereo, as WAV or (through lame) as MP3.
    std::string makeInput(const std::string& name)
    {
        const std::string wave = folder.file(name + ".wav");
        const auto made = mp3test::run(
            "sox -n -r 44100 -c 2 -b 16 " + mp3test::quoted(wave) + " synth 2 sine 440 vol 0.5 2>&1");
        EXPECT_EQ(made.status, 0) << made.output;
        if (name.size() < 4 || name.substr(name.size() - 4) != ".mp3")
            return wave;
        const std::string mp3 = folder.file(name);
        const auto encoded
            = mp3test::run("lame --quiet -b 128 " + mp3test::quoted(wave) + " " + mp3test::quoted(mp3));
        EXPECT_EQ(encoded.status, 0) << encoded.output;
        return mp3;
    }

    // Chooses the files, converts, and returns the message box that ends the run.
    std::shared_ptr<SeenBox> convert(const std::string& input, const std::string& output)
    {
        fakes.fileDialogs.results.push_back({ input });
        child<QPushButton>(window, "cmdInput")->click();
        fakes.fileDialogs.results.push_back({ output });
        child<QPushButton>(window, "cmdOutput")->click();
        auto seen = answerBox(QMessageBox::Ok);
        child<QPushButton>(window, "cmdConvert")->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !seen->text.isEmpty(); }, 60000));
        return seen;
    }

    static std::string probe(const std::string& path)
    {
        return mp3test::run(
            "ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels,bit_rate "
            "-of csv=p=0 "
            + mp3test::quoted(path))
            .output;
    }

    TemporaryRegistry registry;
    TempFolder folder;
    ComponentMessagePump pump;
    WindowTestPlatform fakes;
    FakeLauncher launcher;
    QtClock clock;
    FakeApplication application;
    OptimizerWindow window { AudioToolServices {
        fakes.messageBox, fakes.fileDialogs, launcher, clock, application } };
};

} // namespace

// The window shows its design-time captions, items and tool tips.
TEST_F(OptimizerWindowTest, ShowsItsControls)
{
    EXPECT_EQ(window.windowTitle(), "Mp3 Optimizer");
    EXPECT_EQ(child<QPushButton>(window, "cmdInput")->text(), "&Input File");
    EXPECT_EQ(child<QPushButton>(window, "cmdInput")->toolTip(), " Select input audio file ");
    EXPECT_EQ(child<QPushButton>(window, "cmdOutput")->text(), "&Output File");
    EXPECT_EQ(child<QPushButton>(window, "cmdConvert")->text(), "&Convert/Optimize File");
    EXPECT_EQ(child<QPushButton>(window, "cmdConvert")->toolTip(), " Start conversion or optimization ");
    EXPECT_EQ(child<QComboBox>(window, "cmbMp3Quality")->currentText(), "56");
    EXPECT_EQ(child<QComboBox>(window, "cmbMp3Quality")->count(), 9);
    EXPECT_TRUE(child<QRadioButton>(window, "optRe22")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(window, "chkConvertMono")->isChecked());
    EXPECT_FALSE(child<ProgressMeter>(window, "picStatus")->isVisible());
    child<QRadioButton>(window, "optRe44")->click();
    EXPECT_EQ(child<QComboBox>(window, "cmbMp3Quality")->count(), 7);

    auto seen = answerBox(QMessageBox::Ok);
    child<QPushButton>(window, "cmdOutput")->click();
    EXPECT_EQ(seen->text, "INPUT FILE NOT SPECIFIED!");
    EXPECT_EQ(seen->title, "Error");
}

// An MP3 input runs through decoder, converter and encoder: mono at the chosen rate and bit
// rate, "MP3 FILE CONVERTED AS - ".
TEST_F(OptimizerWindowTest, ConvertsAnMp3)
{
    const std::string input = makeInput("in song.mp3");
    const std::string output = folder.file("out song.mp3");
    const auto seen = convert(input, output);
    EXPECT_EQ(seen->title, "Message");
    EXPECT_EQ(seen->icon, QMessageBox::Information);
    EXPECT_EQ(seen->text.toStdString(), "MP3 FILE CONVERTED AS - " + output);
    EXPECT_EQ(child<QLabel>(window, "lblInputSource")->toolTip().toStdString(), " " + input + " ");
    EXPECT_TRUE(child<QPushButton>(window, "cmdConvert")->isEnabled());
    EXPECT_FALSE(child<ProgressMeter>(window, "picStatus")->isVisible());
    EXPECT_EQ(probe(output), "22050,1,56000\n");
    const mp3test::Decoded decoded = mp3test::decodeWithMpg123(output);
    ASSERT_TRUE(decoded.ok);
    EXPECT_GT(mp3test::toneShare(decoded, 0, 440.0), 0.9);
    EXPECT_EQ(application.ends, 0);
}

// A WAV input goes to the encoder's wave-file encoding: "MP3 FILE GENERATED AS - ".
TEST_F(OptimizerWindowTest, ConvertsAWav)
{
    const std::string input = makeInput("take");
    const std::string output = folder.file("take.mp3");
    child<QRadioButton>(window, "optRe11")->click();
    const auto seen = convert(input, output);
    EXPECT_EQ(seen->text.toStdString(), "MP3 FILE GENERATED AS - " + output);
    EXPECT_EQ(probe(output), "11025,2,56000\n");
    EXPECT_EQ(application.ends, 0);
}

// An input the decoder cannot open (gone since it was chosen) ends the application after the
// fatal message.
TEST_F(OptimizerWindowTest, ASourceThatCannotBeOpenedEndsTheApplication)
{
    const auto seen = convert(folder.file("gone.mp3"), folder.file("out.mp3"));
    EXPECT_EQ(seen->title, "Error");
    EXPECT_EQ(seen->icon, QMessageBox::Critical);
    EXPECT_EQ(seen->text, "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!");
    EXPECT_EQ(application.ends, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.mp3")));
}
