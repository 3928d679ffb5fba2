#pragma once

#include <cstdint>
#include <string>

namespace tmbr::gui {

// The multimedia command-string interface: one command string in, a result
// code out (0 = success, else one of the MCI error codes of mcierror.h).
class IMci {
public:
    virtual ~IMci() = default;
    // Carries out `command`; a reply (the value of a status query) goes to
    // `reply` when one is given, else it is dropped. Never throws.
    virtual std::uint32_t mciSendString(const std::string& command, std::string* reply = nullptr) = 0;
    // The text of a result code, one sentence or two, for a user.
    virtual std::string mciGetErrorString(std::uint32_t code) = 0;
};

} // namespace tmbr::gui
