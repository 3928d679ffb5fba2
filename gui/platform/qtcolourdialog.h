#pragma once

#include "platform/icolourdialog.h"

namespace tmbr::gui {

class QtColourDialog : public IColourDialog {
public:
    std::uint32_t chooseColour(std::uint32_t initial) override;
};

} // namespace tmbr::gui
