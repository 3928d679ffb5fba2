#pragma once

namespace tmbr::gui {

enum class Pointer { Default, Busy };

// The mouse pointer over the program's windows.
class ICursor {
public:
    virtual ~ICursor() = default;
    virtual void setPointer(Pointer pointer) = 0;
};

} // namespace tmbr::gui
