// Grabs every window to a PNG file in the build folder, for people to look at
// (nothing is compared).

#include "codegen/generators.h"
#include "codewindow.h"
#include "fakeaudiotools.h"
#include "mainwindow.h"
#include "modal.h"
#include "optimizerwindow.h"
#include "rearrangedialog.h"
#include "recorderwindow.h"
#include "splashwindow.h"
#include "tempappfolder.h"
#include "windowtestplatform.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

const QString kFolder = TMBR_SCREENSHOT_DIR;

void save(QWidget& window, const char* name)
{
    ASSERT_TRUE(QDir().mkpath(kFolder));
    const QString file = kFolder + "/" + name + ".png";
    const QPixmap picture = window.grab();
    ASSERT_FALSE(picture.isNull());
    ASSERT_TRUE(picture.save(file, "PNG")) << file.toStdString();
    EXPECT_GT(QFileInfo(file).size(), 1000);
}

class Screenshots : public ::testing::Test {
protected:
    TempAppFolder app { { "roundplay.swf", "tmbr_type04_chameleon.swf", "tmbr_type04_classic.swf",
                            "tmbr_type07_glass.swf", "tmbr_type08_slim.swf" },
        { "jbx_250320_compact.swf", "jbx_300200_classic.swf", "jbx_400300_chameleon.swf" } };
    WindowTestPlatform fakes;
    std::string music = app.folder("Music");
    std::string site = app.folder("site");

    void SetUp() override
    {
        for (const char* name : { "Morning Walk.mp3", "Harbour Lights.mp3", "Late Train.mp3" })
            writeFile(music + name, "ID3 fake");
    }
};

TEST_F(Screenshots, MainWindowBothTabs)
{
    FakeInstanceLock lock;
    MainWindow window(app.folders(), fakes.platform);
    window.setSplashInterval(10);
    window.resize(980, 600);
    ASSERT_EQ(window.startUp(lock), StartUpResult::Ready);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* singles = window.findChild<QListWidget*>("lstSingle");
    singles->setCurrentRow(1);
    fakes.fileDialogs.results.push_back({ music + "Morning Walk.mp3" });
    window.findChild<QPushButton*>("cmdSingleLocate")->click();
    fakes.folderBrowser.results = { site };
    window.findChild<QPushButton*>("cmdSingleOutput")->click();
    save(window, "main-single-button");

    window.findChild<QTabWidget*>("ssTabAudio")->setCurrentIndex(1);
    window.findChild<QListWidget*>("lstMulti")->setCurrentRow(2);
    fakes.fileDialogs.results.push_back(
        { music + "Morning Walk.mp3", music + "Harbour Lights.mp3", music + "Late Train.mp3" });
    window.findChild<QPushButton*>("cmdMultiLocate")->click();
    fakes.folderBrowser.results = { site };
    window.findChild<QPushButton*>("cmdMultiOutput")->click();
    save(window, "main-jukebox");
    window.hide();
}

TEST_F(Screenshots, SplashWindow)
{
    SplashWindow splash(nullptr, 100000);
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    save(splash, "splash");
}

TEST_F(Screenshots, CodeWindowAfterASingleButtonRun)
{
    codegen::GeneratorSettings settings;
    settings.singlePlayer = "tmbr_type04_chameleon";
    codegen::locateSingleMp3(settings, music + "Morning Walk.mp3");
    codegen::chooseSingleOutputFolder(settings, site);
    settings.serverPathSingle = "/audio/";
    const codegen::GenerationResult result = codegen::generateSingleButton(settings, app.folders(), [] {
        return codegen::TimeOfDay { 14, 5, 9 };
    });
    ASSERT_EQ(result.status, codegen::GenerationStatus::Generated) << result.message;
    CodeWindow window(result.code, result.instructions, app.folders(), fakes.platform);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    save(window, "code-window");
}

TEST_F(Screenshots, RearrangeDialog)
{
    RearrangeDialog dialog({ { "Morning Walk.mp3", "Harbour Lights.mp3", "Late Train.mp3" },
                               { "Morning Walk", "Harbour Lights", "Late Train" } },
        fakes.messageBox);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    save(dialog, "rearrange-dialog");
}

TEST_F(Screenshots, AudioTools)
{
    FakeLauncher launcher;
    FakeClock clock;
    FakeApplication application;
    const AudioToolServices services { fakes.messageBox, fakes.fileDialogs, launcher, clock, application };
    FakeMci mci;
    RecorderWindow recorder(services, mci, app.folder("cache") + "temp.wav");
    recorder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&recorder));
    save(recorder, "quick-audio-recorder");
    recorder.close();

    FakeOptimizerRunner runner;
    OptimizerWindow optimizer(services, nullptr, &runner);
    fakes.fileDialogs.results.push_back({ music + "Morning Walk.mp3" });
    optimizer.findChild<QPushButton*>("cmdInput")->click();
    fakes.fileDialogs.results.push_back({ site + "morning-walk.mp3" });
    optimizer.findChild<QPushButton*>("cmdOutput")->click();
    optimizer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&optimizer));
    save(optimizer, "mp3-optimizer");
}

} // namespace
} // namespace tmbr::gui::test
