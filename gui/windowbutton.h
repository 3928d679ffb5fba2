#pragma once

// The push button of the program's windows: named for tests and style sheets, never a default
// button (Enter in a text box must not press it), with its tool tip when there is one.

class QPushButton;
class QWidget;

namespace tmbr::gui {

QPushButton* windowButton(
    QWidget* parent, const char* name, const char* caption, const char* toolTip = nullptr);

} // namespace tmbr::gui
