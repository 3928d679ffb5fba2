#pragma once

#include "platform/ishell.h"

namespace tmbr::gui {

// QDesktopServices: a local path opens with its default program, an
// "http(s)://" address in the default browser.
class QtShell : public IShell {
public:
    bool open(const std::string& fileOrAddress) override;
};

} // namespace tmbr::gui
