#pragma once

#include "platform/icursor.h"

namespace tmbr::gui {

// The busy pointer as the application's override cursor; setting the same
// pointer twice changes nothing.
class QtCursor : public ICursor {
public:
    ~QtCursor() override;
    void setPointer(Pointer pointer) override;

private:
    bool m_busy = false;
};

} // namespace tmbr::gui
