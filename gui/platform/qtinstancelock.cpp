#include "platform/qtinstancelock.h"

#include <QDir>
#include <QFileInfo>

namespace tmbr::gui {

QtInstanceLock::QtInstanceLock(const QString& lockFile)
    : m_lock(lockFile)
{
    // Only a dead owner makes the lock stale, never its age.
    m_lock.setStaleLockTime(0);
}

bool QtInstanceLock::tryLock()
{
    return m_lock.isLocked() || m_lock.tryLock(0);
}

QString QtInstanceLock::defaultLockFile(const std::string& scratchFolder)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath("tmbrsa.lock");
    const QString cache = QFileInfo(QDir::cleanPath(QString::fromStdString(scratchFolder))).path();
    return QDir(cache).filePath("tmbrsa.lock");
}

} // namespace tmbr::gui
