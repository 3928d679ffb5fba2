#pragma once

#include "codewindowlogic.h"

#include <QColor>
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tmbr::gui {

// The code text's blue over the text box's `base` colour: pure blue where it
// reads well (a contrast ratio of at least 4.5 by the WCAG formula), else the
// nearest blue that does: lighter over a dark base, darker over a mid-tone one.
QColor codeTextColour(const QColor& base);

// frmGrabCode, "Output HTML Code and Instructions": the code of one run in
// blue, the instructions, and the four buttons. Modal; each run opens a new one.
class CodeWindow : public QDialog {
    Q_OBJECT
public:
    // `outputFolder`: the run's output folder, served beside the scratch
    // folder when the local test page is opened. `server`: the test page
    // server, by default the one that lives as long as the application.
    CodeWindow(const std::string& code, const std::string& instructions, const codegen::AppFolders& folders,
        Platform& platform, QWidget* parent = nullptr, const std::string& outputFolder = {},
        ITestPageServer* server = defaultTestPageServer());

    static ITestPageServer* defaultTestPageServer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showCodeInBlue();

    CodeWindowLogic m_logic;
    QPlainTextEdit* m_txtGrabCode;
};

} // namespace tmbr::gui
