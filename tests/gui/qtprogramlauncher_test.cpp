#include "platform/qtprogramlauncher.h"
#include "tempfolder.h"

#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tmbr::gui;

// A program on the PATH starts with its arguments; a missing one is reported, not run.
TEST(QtProgramLauncher, StartsProgramsFoundOnThePath)
{
    tmbr::gui::test::TempFolder folder;
    const std::string marker = folder.file("started");
    QtProgramLauncher launcher;
    EXPECT_TRUE(launcher.startProgram("touch", { marker }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(marker); }, 10000));
    EXPECT_FALSE(launcher.startProgram("tmbr-no-such-volume-control", { "--tab=4" }));
}
