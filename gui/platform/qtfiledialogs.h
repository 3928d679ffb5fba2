#pragma once

#include "platform/ifiledialogs.h"

namespace tmbr::gui {

// QFileDialog: the open dialogs accept existing files only; the save dialog
// asks before replacing a file.
class QtFileDialogs : public IFileDialogs {
public:
    std::vector<std::string> run(const FileDialogRequest& request) override;
};

} // namespace tmbr::gui
