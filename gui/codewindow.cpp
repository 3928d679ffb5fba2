#include "codewindow.h"

#include "platform/loopbackserver.h"
#include "windowbutton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace tmbr::gui {

namespace {

QPlainTextEdit* textBox(QWidget* parent, const char* name, const std::string& text, const char* toolTip)
{
    auto* box = named<QPlainTextEdit>(name, QString::fromStdString(text), parent);
    box->setReadOnly(true);
    box->setToolTip(toolTip);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

double luminance(const QColor& colour)
{
    const auto linear = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

double contrast(const QColor& one, const QColor& other)
{
    const double a = luminance(one);
    const double b = luminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

} // namespace

QColor codeTextColour(const QColor& base)
{
    constexpr double kReadable = 4.5;
    const QColor blue(Qt::blue);
    if (contrast(blue, base) >= kReadable)
        return blue;
    // Towards white or towards black, whichever end stands out more from the base.
    const bool lighter = contrast(Qt::white, base) > contrast(Qt::black, base);
    QColor candidate = blue;
    for (int step = 1; step <= 255 && contrast(candidate, base) < kReadable; ++step)
        candidate = lighter ? QColor(step, step, 255) : QColor(0, 0, 255 - step);
    return candidate;
}

ITestPageServer* CodeWindow::defaultTestPageServer()
{
    return LoopbackServer::forApplication();
}

CodeWindow::CodeWindow(const std::string& code, const std::string& instructions,
    const codegen::AppFolders& folders, Platform& platform, QWidget* parent, const std::string& outputFolder,
    ITestPageServer* server)
    : QDialog(parent)
    , m_logic(code, instructions, folders, platform, outputFolder, server)
{
    setObjectName("frmGrabCode");
    setWindowTitle("Output HTML Code and Instructions");
    setModal(true);
    resize(760, 560);

    auto* lblGrabCode
        = named<QLabel>("lblGrabCode", "Grab the following blue code and paste it on your HTML editor", this);
    m_txtGrabCode = textBox(this, "txtGrabCode", code, " Grab this code and paste it on your HTML editor ");
    showCodeInBlue();
    m_txtGrabCode->installEventFilter(this);
    auto* lblInstructions = named<QLabel>(
        "lblInstructions", "Instructions for uploading required files to your webserver", this);
    auto* txtInst = textBox(this, "txtInst", instructions, " Instructions for uploading required files ");

    auto* cmdGrabCode = windowButton(
        this, "cmdGrabCode", "&Grab Code to Clipboard", " Grab generated code and copy to clipboard ");
    auto* cmdTest = windowButton(
        this, "cmdTest", "&Test in Browser (Offline)", " Test the audio in your default browser ");
    auto* cmdSaveCodeInst = windowButton(this, "cmdSaveCodeInst", "&Save Code and Instructions as File",
        " Save code and instructions in a text file for future use ");
    auto* cmdClose = windowButton(this, "cmdClose", "&Close", " Close this window ");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdGrabCode);
    buttons->addWidget(cmdTest);
    buttons->addWidget(cmdSaveCodeInst);
    buttons->addStretch();
    buttons->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblGrabCode);
    layout->addWidget(m_txtGrabCode, 3);
    layout->addWidget(lblInstructions);
    layout->addWidget(txtInst, 4);
    layout->addLayout(buttons);

    connect(cmdGrabCode, &QPushButton::clicked, this, [this] {
        m_txtGrabCode->selectAll();
        m_logic.cmdGrabCodeClick();
    });
    connect(cmdTest, &QPushButton::clicked, this, [this] { m_logic.cmdTestClick(); });
    connect(cmdSaveCodeInst, &QPushButton::clicked, this, [this] { m_logic.cmdSaveCodeInstClick(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

bool CodeWindow::eventFilter(QObject* watched, QEvent* event)
{
    // A palette change (a dark theme chosen while the window is open) may
    // change the base colour under the code.
    if (watched == m_txtGrabCode && event->type() == QEvent::PaletteChange)
        showCodeInBlue();
    return QDialog::eventFilter(watched, event);
}

void CodeWindow::showCodeInBlue()
{
    QPalette palette = m_txtGrabCode->palette();
    const QColor colour = codeTextColour(palette.color(QPalette::Base));
    // Setting the palette sends another change, which then finds it set.
    if (palette.color(QPalette::Text) == colour && palette.isBrushSet(QPalette::Active, QPalette::Text))
        return;
    palette.setColor(QPalette::Text, colour);
    m_txtGrabCode->setPalette(palette);
}

} // namespace tmbr::gui
