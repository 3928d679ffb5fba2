#pragma once

#include <string>

namespace tmbr::gui {

// The desktop's folder browser: file-system folders only.
class IFolderBrowser {
public:
    virtual ~IFolderBrowser() = default;
    // The chosen folder without a trailing "/" (except the root), or empty text
    // when the user cancels. Never throws.
    virtual std::string BrowseForFolder(const std::string& title) = 0;
};

} // namespace tmbr::gui
