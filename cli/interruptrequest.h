#pragma once

#include <csignal>

namespace tmbr::cli {

// While it exists, SIGINT and SIGTERM do not end the process but are recorded, so that a command
// waiting for long audio work can stop it and remove its unfinished output. The previous handlers
// come back on destruction. One at a time.
class InterruptRequest {
public:
    InterruptRequest();
    ~InterruptRequest();
    InterruptRequest(const InterruptRequest&) = delete;
    InterruptRequest& operator=(const InterruptRequest&) = delete;

    bool requested() const;

private:
    struct sigaction m_previousInt { };
    struct sigaction m_previousTerm { };
};

} // namespace tmbr::cli
