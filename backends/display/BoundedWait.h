// Spins on a hardware condition, yielding the processor between looks, but never longer than
// a limit: a controller that never reaches the state must not hang the game.
#pragma once

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
        auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            if (condition())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::this_thread::yield();
        }
    }
};

} // namespace ScreenHAL
