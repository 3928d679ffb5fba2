#pragma once

#include <string>

namespace tmbr::gui {

enum class MessageIcon { Critical, Exclamation, Information, Question };
enum class Answer { Yes, No };

// Modal message boxes over the active window.
class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // One OK button.
    virtual void show(MessageIcon icon, const std::string& title, const std::string& text) = 0;
    // Yes and No buttons with the question icon.
    virtual Answer ask(const std::string& title, const std::string& text) = 0;
};

} // namespace tmbr::gui
