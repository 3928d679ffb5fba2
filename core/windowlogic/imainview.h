#pragma once

#include "playlist.h"

#include <optional>
#include <string>

namespace tmbr::gui {

// Controls the logic moves the focus to.
enum class Control { SingleOutputButton, JukeboxOutputButton };

// What the main window logic asks of its window.
class IMainView {
public:
    virtual ~IMainView() = default;
    // Shows the main window (modeless).
    virtual void showWindow() = 0;
    // Shows the splash window modally; returns when its timer has closed it.
    virtual void showSplash() = 0;
    // Asks the window to close; the close runs MainWindowLogic::closeRequested().
    virtual void requestClose() = 0;
    virtual void focus(Control control) = 0;
    // The generated code window, modal; returns when it is closed.
    virtual void showCode(const std::string& code, const std::string& instructions) = 0;
    // The re-arrange dialog, modal, on a copy of `playlist`: the edited
    // playlist after "&Done", nothing after "&Cancel" or the close box.
    virtual std::optional<Playlist> rearrange(const Playlist& playlist) = 0;
};

} // namespace tmbr::gui
