#pragma once

#include "codewindowlogic.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tmbr::gui {

// frmGrabCode, "Output HTML Code and Instructions": the code of one run in
// blue, the instructions, and the four buttons. Modal; each run opens a new one.
class CodeWindow : public QDialog {
    Q_OBJECT
public:
    CodeWindow(const std::string& code, const std::string& instructions, const codegen::AppFolders& folders,
        Platform& platform, QWidget* parent = nullptr);

private:
    CodeWindowLogic m_logic;
    QPlainTextEdit* m_txtGrabCode;
};

} // namespace tmbr::gui
