#include "platform/qtcursor.h"

#include <QApplication>

namespace tmbr::gui {

QtCursor::~QtCursor()
{
    setPointer(Pointer::Default);
}

void QtCursor::setWindow(QWidget* window)
{
    setPointer(Pointer::Default);
    m_window = window;
}

void QtCursor::setPointer(Pointer pointer)
{
    const bool busy = pointer == Pointer::Busy;
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy) {
        if (m_window) {
            m_window->setCursor(Qt::WaitCursor);
        } else {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_overriding = true;
        }
        return;
    }
    if (m_overriding) {
        QApplication::restoreOverrideCursor();
        m_overriding = false;
    }
    if (m_window)
        m_window->unsetCursor();
}

} // namespace tmbr::gui
