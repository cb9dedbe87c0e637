// The deterministic clock used when DeviceProfile::current().clock is ClockMode::Fake. Time is
// kept in microseconds; every read of any clock call first returns the current value, then
// moves it on by the auto-advance step (for code that busy-waits until the clock changes).
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

class FakeClock
{
  public:
    // Stops auto-advance and sets the time.
    static void freeze(int64_t millis);
    // Moves the time forward by millis.
    static void step(int64_t millis);
    // Sets the time to any value, e.g. past the 32-bit tick count's wrap.
    static void jumpTo(int64_t millis);
    // Every read advances the time by this many microseconds afterwards (0: off).
    static void autoAdvance(int64_t micros);
    static void setPerformanceCounterFails(bool fails);
    static bool performanceCounterFails();

    // Current value in microseconds, advancing it by the auto-advance step.
    static int64_t readMicros();
    // Current value without advancing it.
    static int64_t peekMicros();
    // Called with the new time after every move of the clock, on the thread that moved it: for
    // simulated hardware that keeps pace with the program's clock. One at a time; empty: none.
    // It must not use the clock itself.
    static void follow(std::function<void(int64_t micros)> call);
    // Time 0, no auto-advance, counter working, no follower.
    static void reset();
};

} // namespace platform
