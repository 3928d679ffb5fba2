#pragma once

namespace tmbr::gui {

// The per-user single-instance rule.
class IInstanceLock {
public:
    virtual ~IInstanceLock() = default;
    // True when this process now holds the lock, false when another running
    // instance of the program holds it. The lock is kept until destruction.
    virtual bool tryLock() = 0;
};

} // namespace tmbr::gui
