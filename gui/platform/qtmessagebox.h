#pragma once

#include "platform/imessagebox.h"

namespace tmbr::gui {

// QMessageBox over the active window.
class QtMessageBox : public IMessageBox {
public:
    void show(MessageIcon icon, const std::string& title, const std::string& text) override;
    Answer ask(const std::string& title, const std::string& text) override;
};

} // namespace tmbr::gui
