#pragma once

#include "platform/iclipboard.h"

namespace tmbr::gui {

class QtClipboard : public IClipboard {
public:
    void setText(const std::string& text) override;
};

} // namespace tmbr::gui
