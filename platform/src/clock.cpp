#include "platform/clock.h"

#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"

#include <ctime>

namespace {

int64_t realMicros()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

int64_t nowMicros()
{
    return platform::clockIsFake() ? platform::FakeClock::readMicros() : realMicros();
}

} // namespace

DWORD GetTickCount()
{
    return DWORD(uint64_t(nowMicros() / 1000) & 0xFFFFFFFFu);
}

BOOL QueryPerformanceFrequency(LONGLONG* frequency)
{
    if (!frequency)
        return FALSE;
    if (platform::clockIsFake() && platform::FakeClock::performanceCounterFails()) {
        *frequency = 0;
        return FALSE;
    }
    // Microseconds: counter * 1000 stays within 64 bits for about 290 years.
    *frequency = 1000000;
    return TRUE;
}

BOOL QueryPerformanceCounter(LONGLONG* counter)
{
    if (!counter)
        return FALSE;
    if (platform::clockIsFake() && platform::FakeClock::performanceCounterFails()) {
        *counter = 0;
        return FALSE;
    }
    *counter = nowMicros();
    return TRUE;
}

namespace platform {

bool clockIsFake()
{
    return DeviceProfile::current().clock == ClockMode::Fake;
}

int64_t monotonicMillis()
{
    return nowMicros() / 1000;
}

} // namespace platform
