#include "codewindow.h"

#include "platform/loopbackserver.h"
#include "windowbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tmbr::gui {

namespace {

QPlainTextEdit* textBox(QWidget* parent, const char* name, const std::string& text, const char* toolTip)
{
    auto* box = new QPlainTextEdit(QString::fromStdString(text), parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setToolTip(toolTip);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

} // namespace

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

    auto* lblGrabCode = new QLabel("Grab the following blue code and paste it on your HTML editor", this);
    lblGrabCode->setObjectName("lblGrabCode");
    m_txtGrabCode = textBox(this, "txtGrabCode", code, " Grab this code and paste it on your HTML editor ");
    QPalette blue = m_txtGrabCode->palette();
    blue.setColor(QPalette::Text, Qt::blue);
    m_txtGrabCode->setPalette(blue);
    auto* lblInstructions = new QLabel("Instructions for uploading required files to your webserver", this);
    lblInstructions->setObjectName("lblInstructions");
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

} // namespace tmbr::gui
