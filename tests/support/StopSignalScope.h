// Ctrl+C and kill handled as the game handles them, for one test only: the test program must
// still stop at a signal afterwards.
#pragma once

#include "platform/window/StopSignals.h"

#include <csignal>

namespace testsupport {

class StopSignalScope
{
  public:
    StopSignalScope()
    {
        sigaction(SIGINT, nullptr, &m_int);
        sigaction(SIGTERM, nullptr, &m_term);
        platform::catchStopSignals();
    }
    ~StopSignalScope()
    {
        sigaction(SIGINT, &m_int, nullptr);
        sigaction(SIGTERM, &m_term, nullptr);
    }
    StopSignalScope(const StopSignalScope&) = delete;
    StopSignalScope& operator=(const StopSignalScope&) = delete;

  private:
    struct sigaction m_int = {};
    struct sigaction m_term = {};
};

} // namespace testsupport
