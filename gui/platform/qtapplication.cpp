#include "platform/qtapplication.h"

#include <QCoreApplication>

namespace tmbr::gui {

void QtApplication::endApplication()
{
    QCoreApplication::exit(1);
}

} // namespace tmbr::gui
