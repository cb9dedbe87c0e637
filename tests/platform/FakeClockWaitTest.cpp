// On the fake clock nothing sleeps for real: the program's waits move the clock or follow it.
#include "DeviceFixture.h"
#include "platform/clock.h"
#include "platform/testing/FakeClock.h"
#include "platform/testing/HeadlessBackend.h"
#include "platform/threads.h"

#include <gtest/gtest.h>

#include <atomic>

using platform::FakeClock;

namespace {

class FakeClockWait : public DeviceTest
{
  protected:
    FakeClockWait()
    {
        profile().clock = platform::ClockMode::Fake;
        FakeClock::freeze(1000);
    }
};

constexpr DWORD kHour = 3600 * 1000;

struct Sleeper
{
    std::atomic<DWORD> started{0};
    std::atomic<DWORD> woke{0};
    HANDLE never = nullptr; // an event nobody sets
    std::atomic<DWORD> waitResult{0};
};

// Sleeps an hour of the fake clock, then waits another hour for an event nobody sets.
DWORD sleepAnHour(LPVOID parameter)
{
    auto* s = static_cast<Sleeper*>(parameter);
    s->started = GetTickCount();
    Sleep(kHour);
    s->woke = GetTickCount();
    s->waitResult = WaitForSingleObject(s->never, kHour);
    return 0;
}

} // namespace

TEST_F(FakeClockWait, SleepOnTheDrivingThreadMovesTheClockByTheWait)
{
    Sleep(250);
    EXPECT_EQ(GetTickCount(), 1250u);
    Sleep(0);
    EXPECT_EQ(GetTickCount(), 1250u);
    // An hour passes at once: a real sleep would hang the test.
    Sleep(3600 * 1000);
    EXPECT_EQ(platform::monotonicMillis(), 1250 + 3600 * 1000);
}

TEST_F(FakeClockWait, TimedWaitOfTheDrivingThreadTimesOutByMovingTheClock)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount(), 1030u);
    // A signalled object is taken without any time passing.
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_OBJECT_0);
    EXPECT_EQ(GetTickCount(), 1030u);
    // A zero wait is a look only.
    ResetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_EQ(GetTickCount(), 1030u);
    CloseHandle(event);
}

TEST_F(FakeClockWait, ALayerThreadWaitsForTheTimeTheDrivingThreadLetsPass)
{
    // Two hours of waits in a layer thread end as soon as the driving thread has let that much
    // time pass; on real sleeps this test would take two hours.
    Sleeper s;
    s.never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, sleepAnHour, &s, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    int looks = 0;
    while (WaitForSingleObject(thread, 60 * 1000) == WAIT_TIMEOUT)
        ++looks;
    EXPECT_GE(looks, 2 * 60 - 1);
    EXPECT_GE(s.woke - s.started, kHour);
    EXPECT_EQ(s.waitResult.load(), WAIT_TIMEOUT);
    EXPECT_GE(GetTickCount() - s.started, 2 * kHour);
    CloseHandle(thread);
    CloseHandle(s.never);
}

TEST_F(FakeClockWait, AnIdleHeadlessMessageWaitIsTheClocksTime)
{
    platform::HeadlessBackend backend;
    EXPECT_FALSE(backend.wait(50));
    EXPECT_EQ(GetTickCount(), 1050u);
    // With an event waiting, no time passes.
    backend.injectKey(reinterpret_cast<HWND>(1), 0x41, true, false);
    EXPECT_TRUE(backend.wait(50));
    EXPECT_EQ(GetTickCount(), 1050u);
}
