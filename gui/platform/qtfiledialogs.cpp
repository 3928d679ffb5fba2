#include "platform/qtfiledialogs.h"

#include "platform/qtparent.h"

#include <QFileDialog>

namespace tmbr::gui {

std::vector<std::string> QtFileDialogs::run(const FileDialogRequest& request)
{
    std::vector<FileFilter> filters = request.filters;
    if (filters.empty())
        filters.push_back({ request.filterName, request.pattern });
    QStringList nameFilters;
    for (const FileFilter& filter : filters)
        nameFilters << QString::fromStdString(filter.name + " (" + filter.pattern + ")");

    QFileDialog dialog(dialogParent(), QString::fromStdString(request.title));
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.front());
    switch (request.mode) {
    case FileDialogMode::OpenOne:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogMode::OpenMany:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileDialogMode::Save: {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without an extension gets the filter's, as the callers
        // derive other names from the last three characters.
        const std::string& pattern = filters.front().pattern;
        if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0
            && pattern.find_first_of("*?[ ", 2) == std::string::npos)
            dialog.setDefaultSuffix(QString::fromStdString(pattern.substr(2)));
        break;
    }
    }
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted)
        return paths;
    for (const QString& path : dialog.selectedFiles()) {
        if (!path.isEmpty())
            paths.push_back(path.toStdString());
    }
    return paths;
}

} // namespace tmbr::gui
