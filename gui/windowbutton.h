#pragma once

#include <utility>

// The widgets of the program's windows are named for tests and style sheets. Their push button is
// never a default button (Enter in a text box must not press it) and has its tool tip when there
// is one.

class QPushButton;
class QWidget;

namespace tmbr::gui {

// A new Widget(args...) named `name`.
template <typename Widget, typename... Args> Widget* named(const char* name, Args&&... args)
{
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

QPushButton* windowButton(
    QWidget* parent, const char* name, const char* caption, const char* toolTip = nullptr);

} // namespace tmbr::gui
