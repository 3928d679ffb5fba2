#pragma once

#include <cstdint>

namespace tmbr::gui {

// The colour dialog, opened fully expanded. Colours have red in the lowest
// byte (codegen::rgb).
class IColourDialog {
public:
    virtual ~IColourDialog() = default;
    // The chosen colour; `initial` when the user cancels.
    virtual std::uint32_t chooseColour(std::uint32_t initial) = 0;
};

} // namespace tmbr::gui
