#include "platform/qtfiledialogs.h"

#include "platform/qtparent.h"

#include <QFileDialog>

namespace tmbr::gui {

std::vector<std::string> QtFileDialogs::run(const FileDialogRequest& request)
{
    const QString title = QString::fromStdString(request.title);
    const QString filter = QString::fromStdString(request.filterName + " (" + request.pattern + ")");
    QStringList chosen;
    switch (request.mode) {
    case FileDialogMode::OpenOne:
        chosen << QFileDialog::getOpenFileName(dialogParent(), title, QString(), filter);
        break;
    case FileDialogMode::OpenMany:
        chosen = QFileDialog::getOpenFileNames(dialogParent(), title, QString(), filter);
        break;
    case FileDialogMode::Save:
        chosen << QFileDialog::getSaveFileName(dialogParent(), title, QString(), filter);
        break;
    }
    std::vector<std::string> paths;
    for (const QString& path : chosen) {
        if (!path.isEmpty())
            paths.push_back(path.toStdString());
    }
    return paths;
}

} // namespace tmbr::gui
