#pragma once

#include "platform/iapplication.h"
#include "platform/iclock.h"
#include "platform/ifiledialogs.h"
#include "platform/imessagebox.h"
#include "platform/iprogramlauncher.h"

namespace tmbr::gui {

// The desktop services the two audio tool windows share; all outlive the windows.
struct AudioToolServices {
    IMessageBox& messageBox;
    IFileDialogs& fileDialogs;
    IProgramLauncher& launcher;
    IClock& clock;
    IApplication& application;
};

} // namespace tmbr::gui
