#pragma once

#include "platform/icursor.h"

#include <QPointer>
#include <QWidget>

namespace tmbr::gui {

// The busy pointer over one window (the main window), so that the windows
// opened meanwhile keep their normal pointer; without a window, over the
// whole application. Setting the same pointer twice changes nothing.
class QtCursor : public ICursor {
public:
    QtCursor() = default;
    ~QtCursor() override;
    QtCursor(const QtCursor&) = delete;
    QtCursor& operator=(const QtCursor&) = delete;
    void setWindow(QWidget* window);
    void setPointer(Pointer pointer) override;

private:
    QPointer<QWidget> m_window;
    bool m_busy = false;
    bool m_overriding = false;
};

} // namespace tmbr::gui
