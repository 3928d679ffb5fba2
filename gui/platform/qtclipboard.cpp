#include "platform/qtclipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace tmbr::gui {

void QtClipboard::setText(const std::string& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(QString::fromStdString(text));
}

} // namespace tmbr::gui
