// Spins on a hardware condition, yielding the processor between looks, but never longer than
// a limit: a controller that never reaches the state must not hang the game.
#pragma once

#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace ScreenHAL {

class BoundedWait
{
  public:
    // About two frame times at 50 Hz.
    static constexpr std::chrono::milliseconds kLimit{40};

    // True when the condition held before the limit.
    template <class Condition>
    static bool until(Condition condition, std::chrono::milliseconds limit = kLimit)
    {
        // The program's clock: on the fake clock every look lets a millisecond pass, so the
        // limit is reached after as many looks instead of never.
        const int64_t deadline = platform::monotonicMillis() + limit.count();
        for (;;) {
            if (condition())
                return true;
            if (platform::monotonicMillis() >= deadline)
                return false;
            if (platform::clockIsFake())
                platform::waitMillis(1);
            else
                std::this_thread::yield();
        }
    }
};

} // namespace ScreenHAL
