#include "platform/clock.h"
#include "DeviceFixture.h"
#include "platform/testing/FakeClock.h"

#include <gtest/gtest.h>

#include <vector>

using platform::FakeClock;

namespace {

class Clock : public DeviceTest
{
  protected:
    Clock() { profile().clock = platform::ClockMode::Fake; }
};

} // namespace

TEST_F(Clock, FrozenClockStandsStillUntilStepped)
{
    FakeClock::freeze(1000);
    EXPECT_EQ(GetTickCount(), 1000u);
    EXPECT_EQ(GetTickCount(), 1000u);
    EXPECT_EQ(platform::monotonicMillis(), 1000);
    FakeClock::step(16);
    EXPECT_EQ(GetTickCount(), 1016u);
    LONGLONG counter = 0;
    ASSERT_TRUE(QueryPerformanceCounter(&counter));
    EXPECT_EQ(counter, 1016000); // microseconds
    LONGLONG frequency = 0;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency, 1000000);
}

TEST_F(Clock, MillisecondsKeepCountingPastTheTickWrap)
{
    const int64_t wrap = int64_t(1) << 32;
    FakeClock::jumpTo(wrap - 5);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFFBu);
    int64_t before = platform::monotonicMillis();
    FakeClock::step(10);
    // The 32-bit tick count wrapped; the 64-bit clock did not.
    EXPECT_EQ(GetTickCount(), 5u);
    EXPECT_EQ(platform::monotonicMillis(), wrap + 5);
    EXPECT_GT(platform::monotonicMillis(), before);

    // 60 days of uptime, well past 49.7 days.
    FakeClock::jumpTo(int64_t(60) * 24 * 3600 * 1000);
    EXPECT_EQ(platform::monotonicMillis(), 5184000000);
    EXPECT_EQ(GetTickCount(), DWORD(5184000000 - wrap));
    LONGLONG counter = 0;
    ASSERT_TRUE(QueryPerformanceCounter(&counter));
    // counter * 1000 / frequency, as a caller computes milliseconds, must not overflow.
    EXPECT_EQ(counter * 1000 / 1000000, 5184000000);
}

TEST_F(Clock, AutoAdvanceMovesOnEveryRead)
{
    FakeClock::freeze(0);
    FakeClock::autoAdvance(500); // half a millisecond per read
    DWORD first = GetTickCount();
    DWORD second = GetTickCount();
    DWORD third = GetTickCount();
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, 0u);
    EXPECT_EQ(third, 1u);

    // A busy-wait for the clock to change ends.
    DWORD start = GetTickCount();
    int reads = 0;
    while (GetTickCount() == start && reads < 100)
        ++reads;
    EXPECT_LT(reads, 100);

    FakeClock::freeze(7);
    EXPECT_EQ(GetTickCount(), 7u);
    EXPECT_EQ(GetTickCount(), 7u);
}

TEST_F(Clock, AFollowerSeesEveryMoveUntilReplaced)
{
    FakeClock::freeze(10);
    std::vector<int64_t> seen;
    FakeClock::follow([&seen](int64_t micros) { seen.push_back(micros); });
    FakeClock::step(5);
    FakeClock::jumpTo(100);
    EXPECT_EQ(GetTickCount(), 100u); // a read without auto-advance moves nothing
    FakeClock::autoAdvance(250);
    GetTickCount();
    FakeClock::freeze(3);
    EXPECT_EQ(seen, (std::vector<int64_t>{15000, 100000, 100250, 3000}));

    FakeClock::follow(nullptr);
    FakeClock::step(1);
    EXPECT_EQ(seen.size(), 4u);
    // A device reset forgets the follower too.
    FakeClock::follow([&seen](int64_t micros) { seen.push_back(micros); });
    FakeClock::reset();
    FakeClock::step(1);
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(Clock, PerformanceCounterCanBeMadeToFail)
{
    FakeClock::setPerformanceCounterFails(true);
    LONGLONG value = 42;
    EXPECT_FALSE(QueryPerformanceFrequency(&value));
    EXPECT_FALSE(QueryPerformanceCounter(&value));
    platform::DeviceProfile::reset(); // also restores the fake clock
    profile().clock = platform::ClockMode::Fake;
    EXPECT_TRUE(QueryPerformanceFrequency(&value));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

TEST_F(Clock, RealClockIsMonotonicAndAgreesWithTheTickCount)
{
    profile().clock = platform::ClockMode::Real;
    FakeClock::jumpTo(123456789); // ignored by the real clock
    int64_t a = platform::monotonicMillis();
    DWORD tick = GetTickCount();
    int64_t b = platform::monotonicMillis();
    EXPECT_LE(a, b);
    EXPECT_GE(tick, DWORD(a & 0xFFFFFFFF));
    EXPECT_LE(tick, DWORD(b & 0xFFFFFFFF));
    LONGLONG c1 = 0, c2 = 0;
    ASSERT_TRUE(QueryPerformanceCounter(&c1));
    ASSERT_TRUE(QueryPerformanceCounter(&c2));
    EXPECT_LE(c1, c2);
    EXPECT_NEAR(double(c1 / 1000), double(a), 1000.0);
}
