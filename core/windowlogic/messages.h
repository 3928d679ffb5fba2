#pragma once

#include "messagetexts.h"
#include "platform/imessagebox.h"

#include <string>

namespace tmbr::gui {

// The four kinds of box the program shows: critical "Error", exclamation
// "Warning", information " Message", and the Yes/No question "Confirm".
inline void showError(IMessageBox& box, const std::string& message)
{
    box.show(MessageIcon::Critical, text::kTitleError, message);
}

inline void showWarning(IMessageBox& box, const std::string& message)
{
    box.show(MessageIcon::Exclamation, text::kTitleWarning, message);
}

inline void showMessage(IMessageBox& box, const std::string& message)
{
    box.show(MessageIcon::Information, text::kTitleMessage, message);
}

inline bool confirm(IMessageBox& box, const std::string& question)
{
    return box.ask(text::kTitleConfirm, question) == Answer::Yes;
}

} // namespace tmbr::gui
