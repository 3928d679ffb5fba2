#pragma once

#include "platform/ifolderbrowser.h"

namespace tmbr::gui {

class QtFolderBrowser : public IFolderBrowser {
public:
    std::string BrowseForFolder(const std::string& title) override;
};

} // namespace tmbr::gui
