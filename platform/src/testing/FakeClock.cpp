#include "platform/testing/FakeClock.h"

#include "../ClockWaiters.h"

#include <atomic>
#include <mutex>

namespace platform {

namespace {

std::atomic<int64_t> g_now{0};
std::atomic<int64_t> g_autoStep{0};
std::atomic<bool> g_counterFails{false};

// The follower is called under its lock, so that once follow() has replaced it, the old one is
// never called again. Never destroyed: threads may still move the clock during exit.
struct Follower
{
    std::mutex lock;
    std::function<void(int64_t)> call;
};
std::atomic<bool> g_following{false};

Follower& follower()
{
    static Follower* f = new Follower;
    return *f;
}

void moved(int64_t now)
{
    if (g_following.load()) {
        Follower& f = follower();
        std::lock_guard<std::mutex> g(f.lock);
        if (f.call)
            f.call(now);
    }
    wakeClockWaiters();
}

} // namespace

void FakeClock::freeze(int64_t millis)
{
    g_autoStep = 0;
    g_now = millis * 1000;
    moved(millis * 1000);
}

void FakeClock::step(int64_t millis)
{
    moved(g_now += millis * 1000);
}

void FakeClock::jumpTo(int64_t millis)
{
    g_now = millis * 1000;
    moved(millis * 1000);
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
        moved(now + autoStep);
    return now;
}

int64_t FakeClock::peekMicros()
{
    return g_now.load();
}

void FakeClock::follow(std::function<void(int64_t micros)> call)
{
    Follower& f = follower();
    std::lock_guard<std::mutex> g(f.lock);
    f.call = std::move(call);
    g_following = static_cast<bool>(f.call);
}

void FakeClock::reset()
{
    follow(nullptr);
    g_now = 0;
    g_autoStep = 0;
    g_counterFails = false;
}

} // namespace platform
