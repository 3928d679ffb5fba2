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
#include <cmath>
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

// The WCAG contrast ratio of two colours, 1 to 21.
double contrastRatio(const QColor& one, const QColor& other)
{
    const auto luminance = [](const QColor& c) {
        const auto linear
            = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double a = luminance(one) + 0.05;
    const double b = luminance(other) + 0.05;
    return a > b ? a / b : b / a;
}

bool bluish(const QColor& colour)
{
    return colour.hsvHue() >= 220 && colour.hsvHue() <= 250 && colour.hsvSaturation() >= 100;
}

TEST_F(CodeWindowTest, CodeTextStaysBlueAndReadableOnDarkAndMidTonePalettes)
{
    EXPECT_EQ(codeTextColour(Qt::white), QColor(Qt::blue));
    for (const char* base : { "#000000", "#1e1e1e", "#353535", "#808080", "#f0f0f0" }) {
        const QColor colour = codeTextColour(QColor(base));
        EXPECT_GE(contrastRatio(colour, QColor(base)), 4.5) << base;
        EXPECT_TRUE(bluish(colour)) << base << " gives " << colour.name().toStdString();
    }

    // A dark theme chosen while the window is open.
    QPalette dark = window.palette();
    dark.setColor(QPalette::Base, QColor("#1e1e1e"));
    window.setPalette(dark);
    const QPalette shown = window.findChild<QPlainTextEdit*>("txtGrabCode")->palette();
    EXPECT_EQ(shown.color(QPalette::Base), QColor("#1e1e1e"));
    EXPECT_GE(contrastRatio(shown.color(QPalette::Text), shown.color(QPalette::Base)), 4.5);
    EXPECT_GT(shown.color(QPalette::Text).lightness(), QColor(Qt::blue).lightness());
    EXPECT_TRUE(bluish(shown.color(QPalette::Text)));
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
