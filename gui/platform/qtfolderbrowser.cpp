#include "platform/qtfolderbrowser.h"

#include "platform/qtparent.h"

#include <QDir>
#include <QFileDialog>

namespace tmbr::gui {

std::string QtFolderBrowser::BrowseForFolder(const std::string& title)
{
    return QFileDialog::getExistingDirectory(
        dialogParent(), QString::fromStdString(title), QDir::homePath(), QFileDialog::ShowDirsOnly)
        .toStdString();
}

} // namespace tmbr::gui
