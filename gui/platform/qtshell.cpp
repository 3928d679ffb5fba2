#include "platform/qtshell.h"

#include <QDesktopServices>
#include <QUrl>

namespace tmbr::gui {

bool QtShell::open(const std::string& fileOrAddress)
{
    const QString target = QString::fromStdString(fileOrAddress);
    const bool address = target.startsWith("http://") || target.startsWith("https://");
    return QDesktopServices::openUrl(address ? QUrl(target) : QUrl::fromLocalFile(target));
}

} // namespace tmbr::gui
