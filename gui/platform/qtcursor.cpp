#include "platform/qtcursor.h"

#include <QApplication>

namespace tmbr::gui {

QtCursor::~QtCursor()
{
    setPointer(Pointer::Default);
}

void QtCursor::setPointer(Pointer pointer)
{
    const bool busy = pointer == Pointer::Busy;
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace tmbr::gui
