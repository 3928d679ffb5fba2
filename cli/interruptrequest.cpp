#include "interruptrequest.h"

namespace tmbr::cli {

namespace {

volatile std::sig_atomic_t g_requested = 0;

extern "C" void recordInterrupt(int)
{
    g_requested = 1;
}

} // namespace

InterruptRequest::InterruptRequest()
{
    g_requested = 0;
    struct sigaction action { };
    action.sa_handler = recordInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_previousInt);
    sigaction(SIGTERM, &action, &m_previousTerm);
}

InterruptRequest::~InterruptRequest()
{
    sigaction(SIGINT, &m_previousInt, nullptr);
    sigaction(SIGTERM, &m_previousTerm, nullptr);
}

bool InterruptRequest::requested() const
{
    return g_requested != 0;
}

} // namespace tmbr::cli
