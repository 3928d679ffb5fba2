#include "fakeaudiotools.h"
#include "fakeplatform.h"
#include "mp3optimizerlogic.h"
#include "tempappfolder.h"

#include <gtest/gtest.h>

using namespace tmbr::gui;
using namespace tmbr::gui::test;
using tmbr::audiotools::OptimizerRoute;

namespace {

struct Optimizer {
    FakePlatform fakes;
    FakeApplication application;
    FakeOptimizerRunner runner;
    Mp3OptimizerLogic logic { { fakes.messageBox, fakes.fileDialogs, fakes.cursor, application, runner } };

    Optimizer() { logic.load(); }
    const OptimizerState& state() const { return logic.state(); }

    void choose(const std::string& input, const std::string& output)
    {
        fakes.fileDialogs.results.push_back({ input });
        logic.cmdInputClick();
        fakes.fileDialogs.results.push_back({ output });
        logic.cmdOutputClick();
    }
};

const ShownBox kInputMissing { MessageIcon::Critical, "Error", "INPUT FILE NOT SPECIFIED!" };

} // namespace

// At load 22050 Hz is chosen with "56" of nine bit rates, mono is checked, nothing is chosen.
TEST(Mp3OptimizerLogic, LoadsWithItsDesignState)
{
    Optimizer o;
    EXPECT_EQ(o.state().sampleRateOption, SampleRateOption::Hz22050);
    EXPECT_EQ(o.state().cmbMp3Quality.size(), 9u);
    EXPECT_EQ(o.state().cmbMp3Quality[static_cast<std::size_t>(o.state().cmbMp3QualityIndex)], "56");
    EXPECT_TRUE(o.state().chkConvertMono);
    EXPECT_EQ(o.state().lblInputSource, "");
    EXPECT_EQ(o.state().lblOutputDestination, "");
    EXPECT_TRUE(o.state().cmdConvertEnabled);
    EXPECT_FALSE(o.state().picStatusVisible);
    o.logic.optReClick(SampleRateOption::Hz44100);
    EXPECT_EQ(
        o.state().cmbMp3Quality, (std::vector<std::string> { "128", "112", "96", "80", "64", "56", "32" }));
    EXPECT_EQ(o.state().cmbMp3QualityIndex, 5);
}

// The input dialog offers MP3 then WAV files; the output dialog asks for an MP3 name; the
// labels' tool tips follow their paths.
TEST(Mp3OptimizerLogic, ChoosesInputAndOutput)
{
    Optimizer o;
    o.choose("/music/My Song.mp3", "/web/song.mp3");
    const FileDialogRequest& input = o.fakes.fileDialogs.requests.at(0);
    EXPECT_EQ(input.mode, FileDialogMode::OpenOne);
    EXPECT_EQ(input.title, "Open Mp3/WAV File");
    EXPECT_EQ(
        input.filters, (std::vector<FileFilter> { { "Mp3 Files", "*.Mp3" }, { "WAV Files", "*.wav" } }));
    const FileDialogRequest& output = o.fakes.fileDialogs.requests.at(1);
    EXPECT_EQ(output.mode, FileDialogMode::Save);
    EXPECT_EQ(output.title, "Save Mp3 File");
    EXPECT_EQ(output.filterName, "Mp3 Files");
    EXPECT_EQ(output.pattern, "*.mp3");
    EXPECT_EQ(o.state().lblInputSource, "/music/My Song.mp3");
    EXPECT_EQ(o.state().lblInputSourceTip, " /music/My Song.mp3 ");
    EXPECT_EQ(o.state().lblOutputDestination, "/web/song.mp3");
    EXPECT_EQ(o.state().lblOutputDestinationTip, " /web/song.mp3 ");
}

// A cancelled input dialog empties the input, and Output then reports the missing input.
TEST(Mp3OptimizerLogic, CancelledInputEmptiesTheInput)
{
    Optimizer o;
    o.choose("/music/a.mp3", "/web/a.mp3");
    o.logic.cmdInputClick();
    EXPECT_EQ(o.state().lblInputSource, "");
    EXPECT_EQ(o.state().lblInputSourceTip, "  ");
    o.logic.cmdOutputClick();
    EXPECT_EQ(o.fakes.fileDialogs.requests.size(), 3u);
    EXPECT_EQ(o.fakes.messageBox.shown, std::vector<ShownBox> { kInputMissing });
}

// Convert without input or output names what is missing and starts nothing.
TEST(Mp3OptimizerLogic, ConvertNeedsInputAndOutput)
{
    Optimizer o;
    o.logic.cmdConvertClick();
    o.fakes.fileDialogs.results.push_back({ "/music/a.mp3" });
    o.logic.cmdInputClick();
    o.logic.cmdConvertClick();
    const std::vector<ShownBox> expected
        = { kInputMissing, { MessageIcon::Critical, "Error", "OUTPUT FILE NOT SPECIFIED!" } };
    EXPECT_EQ(o.fakes.messageBox.shown, expected);
    EXPECT_TRUE(o.runner.runs.empty());
}

// Convert hands the paths, the sample rate, the bit rate × 1000 and the mono choice to the run.
TEST(Mp3OptimizerLogic, ConvertPassesTheChosenSettings)
{
    Optimizer o;
    o.choose("/music/SONG.MP3", "/web/song.mp3");
    o.logic.cmdConvertClick();
    o.logic.optReClick(SampleRateOption::Hz44100);
    o.logic.cmbMp3QualityClick(0);
    o.logic.chkConvertMonoClick(false);
    o.logic.cmdConvertClick();
    ASSERT_EQ(o.runner.runs.size(), 2u);
    EXPECT_EQ(o.runner.runs[0].inputPath, "/music/SONG.MP3");
    EXPECT_EQ(o.runner.runs[0].outputPath, "/web/song.mp3");
    EXPECT_EQ(o.runner.runs[0].sampleRate, 22050);
    EXPECT_EQ(o.runner.runs[0].bitrate, 56000);
    EXPECT_TRUE(o.runner.runs[0].mono);
    EXPECT_EQ(o.runner.runs[1].sampleRate, 44100);
    EXPECT_EQ(o.runner.runs[1].bitrate, 128000);
    EXPECT_FALSE(o.runner.runs[1].mono);
    EXPECT_TRUE(o.fakes.messageBox.shown.empty());
}

// The run's events: start disables Convert and shows the bar, progress draws, the finish
// message depends on the route.
TEST(Mp3OptimizerLogic, EventsDriveProgressAndMessages)
{
    Optimizer o;
    o.choose("/music/a.mp3", "/web/out.mp3");
    o.logic.cmdConvertClick();
    o.logic.started();
    EXPECT_FALSE(o.state().cmdConvertEnabled);
    EXPECT_TRUE(o.state().picStatusVisible);
    o.logic.progress(37);
    EXPECT_EQ(o.state().progress, 37);
    o.logic.finished(OptimizerRoute::Mp3);
    EXPECT_TRUE(o.state().cmdConvertEnabled);
    EXPECT_FALSE(o.state().picStatusVisible);
    EXPECT_EQ(o.state().progress, 0);
    o.logic.cmdConvertClick();
    o.logic.started();
    o.logic.finished(OptimizerRoute::Wave);
    const std::vector<ShownBox> expected
        = { { MessageIcon::Information, "Message", "MP3 FILE CONVERTED AS - /web/out.mp3" },
              { MessageIcon::Information, "Message", "MP3 FILE GENERATED AS - /web/out.mp3" } };
    EXPECT_EQ(o.fakes.messageBox.shown, expected);
    EXPECT_EQ(o.application.ends, 0);
}

// A failure while setting up, or reported by the run, shows the fatal message and ends the
// application.
TEST(Mp3OptimizerLogic, FailuresEndTheApplication)
{
    Optimizer o;
    o.choose("/music/a.mp3", "/web/out.mp3");
    o.runner.fail = true;
    o.logic.cmdConvertClick();
    EXPECT_EQ(o.application.ends, 1);
    o.logic.started();
    o.logic.failed("Cannot read the source.");
    const std::vector<ShownBox> expected = {
        { MessageIcon::Critical, "Error",
            "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!" },
        { MessageIcon::Critical, "Error",
            "CANNOT READ THE SOURCE.\nFATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION "
            "ABORTED!" },
    };
    EXPECT_EQ(o.fakes.messageBox.shown, expected);
    EXPECT_TRUE(o.state().cmdConvertEnabled);
    EXPECT_FALSE(o.state().picStatusVisible);
    EXPECT_EQ(o.fakes.cursor.changes.back(), Pointer::Default);
    EXPECT_EQ(o.application.ends, 2);

    // A control that is not registered: the message also says how to register its server, as
    // written, not upper-cased.
    Optimizer unregistered;
    unregistered.choose("/music/a.mp3", "/web/out.mp3");
    unregistered.runner.fail = true;
    unregistered.runner.failHint
        = "The audio converter control (vlsconv.so) is not registered. Register it with: "
          "/opt/t/bin/vlsregsvr /opt/t/lib/tmbrsa/vlsconv.so";
    unregistered.logic.cmdConvertClick();
    ASSERT_EQ(unregistered.fakes.messageBox.shown.size(), 1u);
    EXPECT_EQ(unregistered.fakes.messageBox.shown[0].text,
        "FATAL ERROR ENCOUNTERED. PROBABLY BAD SOURCE FILE. APPLICATION ABORTED!\n\n"
            + unregistered.runner.failHint);
}

// An output that is the input file, however spelled or linked (".mp3" added as the encoder adds
// it), is refused with its reason before the run; the window goes on.
TEST(Mp3OptimizerLogic, RefusesTheInputAsOutput)
{
    TempFolder folder;
    const std::string input = folder.path() + "song.mp3";
    std::ofstream(input) << "audio";
    std::filesystem::create_symlink(input, folder.path() + "link.mp3");
    for (const std::string& output : { input, folder.path() + "./song", folder.path() + "link.mp3" }) {
        Optimizer o;
        o.choose(input, output);
        o.logic.cmdConvertClick();
        EXPECT_TRUE(o.runner.runs.empty()) << output;
        const std::vector<ShownBox> expected = { { MessageIcon::Critical, "Error",
            "OUTPUT FILE IS THE INPUT FILE! WRITING IT WOULD DESTROY THE INPUT. CHOOSE ANOTHER OUTPUT "
            "FILE." } };
        EXPECT_EQ(o.fakes.messageBox.shown, expected);
        EXPECT_EQ(o.application.ends, 0);
        EXPECT_TRUE(o.state().cmdConvertEnabled);
    }
}
