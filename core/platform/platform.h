#pragma once

#include "platform/iclipboard.h"
#include "platform/icolourdialog.h"
#include "platform/icursor.h"
#include "platform/ifiledialogs.h"
#include "platform/ifolderbrowser.h"
#include "platform/imessagebox.h"
#include "platform/ishell.h"

#include <functional>

namespace tmbr::gui {

// The desktop services the window logic uses; the objects outlive the logic.
struct Platform {
    IMessageBox& messageBox;
    IFileDialogs& fileDialogs;
    IColourDialog& colourDialog;
    IFolderBrowser& folderBrowser;
    IShell& shell;
    IClipboard& clipboard;
    ICursor& cursor;
    // Lets pending window events run during long text work; may be empty.
    std::function<void()> processEvents;
};

} // namespace tmbr::gui
