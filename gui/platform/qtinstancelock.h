#pragma once

#include "platform/iinstancelock.h"

#include <QLockFile>
#include <QString>
#include <string>

namespace tmbr::gui {

// A QLockFile per user. A lock left by a crashed instance is recognised by
// its dead process and taken over.
class QtInstanceLock : public IInstanceLock {
public:
    explicit QtInstanceLock(const QString& lockFile);
    bool tryLock() override;

    // $XDG_RUNTIME_DIR/tmbrsa.lock when that folder exists, else "tmbrsa.lock"
    // in the folder above the scratch folder (the per-user cache folder).
    static QString defaultLockFile(const std::string& scratchFolder);

private:
    QLockFile m_lock;
};

} // namespace tmbr::gui
