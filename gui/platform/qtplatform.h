#pragma once

#include "platform/platform.h"
#include "platform/qtclipboard.h"
#include "platform/qtcolourdialog.h"
#include "platform/qtcursor.h"
#include "platform/qtfiledialogs.h"
#include "platform/qtfolderbrowser.h"
#include "platform/qtmessagebox.h"
#include "platform/qtshell.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace tmbr::gui {

// The desktop services of the running program.
class QtPlatform {
public:
    Platform& platform() { return m_platform; }
    QtCursor& cursor() { return m_cursor; }

private:
    QtMessageBox m_messageBox;
    QtFileDialogs m_fileDialogs;
    QtColourDialog m_colourDialog;
    QtFolderBrowser m_folderBrowser;
    QtShell m_shell;
    QtClipboard m_clipboard;
    QtCursor m_cursor;
    // Repaints during long text work, without letting a click start a second run.
    Platform m_platform { m_messageBox, m_fileDialogs, m_colourDialog, m_folderBrowser, m_shell, m_clipboard,
        m_cursor, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); } };
};

} // namespace tmbr::gui
