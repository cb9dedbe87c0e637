#include "platform/testing/FakeClock.h"

#include "../ClockWaiters.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<int64_t> g_now{0};
std::atomic<int64_t> g_autoStep{0};
std::atomic<bool> g_counterFails{false};

} // namespace

void FakeClock::freeze(int64_t millis)
{
    g_autoStep = 0;
    g_now = millis * 1000;
    wakeClockWaiters();
}

void FakeClock::step(int64_t millis)
{
    g_now += millis * 1000;
    wakeClockWaiters();
}

void FakeClock::jumpTo(int64_t millis)
{
    g_now = millis * 1000;
    wakeClockWaiters();
}

void FakeClock::autoAdvance(int64_t micros)
{
    g_autoStep = micros < 0 ? 0 : micros;
}

void FakeClock::setPerformanceCounterFails(bool fails)
{
    g_counterFails = fails;
}

bool FakeClock::performanceCounterFails()
{
    return g_counterFails;
}

int64_t FakeClock::readMicros()
{
    const int64_t autoStep = g_autoStep.load();
    const int64_t now = g_now.fetch_add(autoStep);
    if (autoStep)
        wakeClockWaiters();
    return now;
}

int64_t FakeClock::peekMicros()
{
    return g_now.load();
}

void FakeClock::reset()
{
    g_now = 0;
    g_autoStep = 0;
    g_counterFails = false;
}

} // namespace platform
