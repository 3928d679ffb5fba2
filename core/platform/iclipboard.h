#pragma once

#include <string>

namespace tmbr::gui {

class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Clears the clipboard, then puts `text` on it as plain text (UTF-8).
    virtual void setText(const std::string& text) = 0;
};

} // namespace tmbr::gui
