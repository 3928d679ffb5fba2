#pragma once

// The real message boxes, clipboard and pointer, with fakes for the file,
// folder and colour dialogs and the shell (no desktop here to answer them).

#include "fakeplatform.h"
#include "platform/qtclipboard.h"
#include "platform/qtcursor.h"
#include "platform/qtmessagebox.h"

#include <QCoreApplication>

namespace tmbr::gui::test {

struct WindowTestPlatform {
    QtMessageBox messageBox;
    FakeFileDialogs fileDialogs;
    FakeColourDialog colourDialog;
    FakeFolderBrowser folderBrowser;
    FakeShell shell;
    QtClipboard clipboard;
    QtCursor cursor;
    Platform platform { messageBox, fileDialogs, colourDialog, folderBrowser, shell, clipboard, cursor,
        [] { QCoreApplication::processEvents(); } };
};

} // namespace tmbr::gui::test
