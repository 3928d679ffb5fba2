#include "platform/qtprogramlauncher.h"

#include <QProcess>
#include <QStandardPaths>

namespace tmbr::gui {

bool QtProgramLauncher::startProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    const QString path = QStandardPaths::findExecutable(QString::fromStdString(program));
    if (path.isEmpty())
        return false;
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    return QProcess::startDetached(path, list);
}

} // namespace tmbr::gui
