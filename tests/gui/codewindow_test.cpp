#include "codewindow.h"
#include "modal.h"
#include "platform/loopbackserver.h"
#include "tempappfolder.h"
#include "windowtestplatform.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tmbr::gui::test {
namespace {

class CodeWindowTest : public ::testing::Test {
protected:
    TempAppFolder app { {}, {} };
    WindowTestPlatform fakes;
    CodeWindow window { "<!--code-->\r\n<div></div>", "Output folder on your local PC", app.folders(),
        fakes.platform };

    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(name); }
};

TEST_F(CodeWindowTest, ShowsCodeInBlueInstructionsAndEveryCaptionAndToolTip)
{
    EXPECT_EQ(window.windowTitle(), "Output HTML Code and Instructions");
    auto* code = window.findChild<QPlainTextEdit*>("txtGrabCode");
    ASSERT_TRUE(code);
    EXPECT_EQ(code->toPlainText(), "<!--code-->\n<div></div>");
    EXPECT_EQ(code->palette().color(QPalette::Text), QColor(Qt::blue));
    EXPECT_EQ(code->toolTip(), " Grab this code and paste it on your HTML editor ");
    EXPECT_EQ(window.findChild<QPlainTextEdit*>("txtInst")->toolTip(),
        " Instructions for uploading required files ");
    EXPECT_EQ(window.findChild<QLabel*>("lblGrabCode")->text(),
        "Grab the following blue code and paste it on your HTML editor");
    EXPECT_EQ(window.findChild<QLabel*>("lblInstructions")->text(),
        "Instructions for uploading required files to your webserver");
    const struct {
        const char* name;
        const char* caption;
        const char* toolTip;
    } buttons[] = {
        { "cmdGrabCode", "&Grab Code to Clipboard", " Grab generated code and copy to clipboard " },
        { "cmdTest", "&Test in Browser (Offline)", " Test the audio in your default browser " },
        { "cmdSaveCodeInst", "&Save Code and Instructions as File",
            " Save code and instructions in a text file for future use " },
        { "cmdClose", "&Close", " Close this window " },
    };
    for (const auto& expected : buttons) {
        QPushButton* found = button(expected.name);
        ASSERT_TRUE(found) << expected.name;
        EXPECT_EQ(found->text(), expected.caption);
        EXPECT_EQ(found->toolTip(), expected.toolTip);
    }
}

TEST_F(CodeWindowTest, GrabPutsTheCodeWithCrLfOnTheClipboardAndShowsTheMessage)
{
    window.show();
    auto seen = answerBox(QMessageBox::Ok);
    QTest::mouseClick(button("cmdGrabCode"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "<!--code-->\r\n<div></div>");
    EXPECT_EQ(seen->title, " Message");
    EXPECT_EQ(seen->text, "GRABBED CODE! YOU MAY PASTE IT NOW ON YOUR HTML EDITOR.");
    EXPECT_EQ(seen->icon, QMessageBox::Information);
}

TEST_F(CodeWindowTest, SaveWritesTheFileAndReportsIt)
{
    window.show();
    const std::string file = app.folder("saved") + "code.txt";
    fakes.fileDialogs.results.push_back({ file });
    auto seen = answerBox(QMessageBox::Ok);
    QTest::mouseClick(button("cmdSaveCodeInst"), Qt::LeftButton);
    EXPECT_EQ(readFile(file), "<!--code-->\r\n<div></div>\r\n\r\n\r\n\r\nOutput folder on your local PC\r\n");
    EXPECT_EQ(seen->text.toStdString(), "CODE AND INSTRUCTIONS SAVED AS " + file);
}

TEST_F(CodeWindowTest, TestOpensTheLocalTestPageThroughTheApplicationsServerAndCloseEndsTheModalWindow)
{
    onModal<CodeWindow>([&](CodeWindow* shown) {
        QTest::mouseClick(shown->findChild<QPushButton*>("cmdTest"), Qt::LeftButton);
        QTest::mouseClick(shown->findChild<QPushButton*>("cmdClose"), Qt::LeftButton);
    });
    window.exec();
    ASSERT_NE(LoopbackServer::forApplication(), nullptr);
    const std::string base = LoopbackServer::forApplication()->baseUrl();
    EXPECT_TRUE(base.starts_with("http://127.0.0.1:")) << base;
    EXPECT_EQ(fakes.shell.opened, (std::vector<std::string> { base + "do-not-upload.html" }));
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace tmbr::gui::test
