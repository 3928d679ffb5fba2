#pragma once

#include <QApplication>
#include <QWidget>

namespace tmbr::gui {

// The window a dialog is modal over: the open modal window, else the active one.
inline QWidget* dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace tmbr::gui
