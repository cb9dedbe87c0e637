// The program's own loop with nothing to do: it waits for input or for the application's next
// step instead of spinning, makes every step all the same, takes input at once, and a stop
// request (Ctrl+C, kill) ends its wait and the run as closing the window does.
#include "HostFixture.h"
#include "StopSignalScope.h"

#include "RunEngine.h"

#include "platform/clock.h"
#include "platform/sysinfo.h"
#include "platform/window/WindowSystem.h"

#include <csignal>
#include <memory>

using namespace hosttest;
using platform::NativeEvent;

namespace {

constexpr int64_t kStepMillis = 25;

// What the application saw; it outlives the application.
struct Seen
{
    int steps = 0;
    int64_t keyAt = -1;       // the clock at the first key
    int64_t destroyedAt = -1; // the clock at destroyApp
};

// An application that has work every 25 ms of the clock, as the game's frame loop does.
class SteppingMIDlet : public TestMIDlet
{
  public:
    explicit SteppingMIDlet(Seen& seen) : m_seen(seen) {}
    void tick() override
    {
        TestMIDlet::tick();
        const int64_t now = platform::monotonicMillis();
        if (m_due == 0)
            m_due = now + kStepMillis;
        if (now >= m_due) {
            ++m_seen.steps;
            m_due += kStepMillis;
        }
    }
    int32_t idleMillis() override
    {
        const int64_t left = m_due - platform::monotonicMillis();
        return static_cast<int32_t>(left > 0 ? left : 0);
    }
    bool destroyApp(bool unconditional) override
    {
        m_seen.destroyedAt = platform::monotonicMillis();
        return TestMIDlet::destroyApp(unconditional);
    }

  private:
    Seen& m_seen;
    int64_t m_due = 0;
};

class TimedCanvas : public RecordingCanvas
{
  public:
    explicit TimedCanvas(Seen& seen) : m_seen(seen) {}
    void keyPressed(int32_t code) override
    {
        RecordingCanvas::keyPressed(code);
        if (m_seen.keyAt < 0)
            m_seen.keyAt = platform::monotonicMillis();
    }

  private:
    Seen& m_seen;
};

// A desktop that counts the loop's looks and waits, and closes the window after `runMillis` of
// the clock (or after a bound of looks, so that a spinning loop still ends).
class CountingDesktop : public platform::HeadlessBackend
{
  public:
    void poll(std::vector<NativeEvent>& out) override
    {
        ++looks;
        const int64_t now = platform::monotonicMillis();
        if (start < 0)
            start = now;
        HWND w = CGameEngine::instance() ? CGameEngine::instance()->window() : nullptr;
        if (w && !closed && (now - start >= runMillis || looks >= kMaxLooks)) {
            NativeEvent e;
            e.kind = NativeEvent::Kind::Close;
            e.window = w;
            inject(e);
            closed = true;
        }
        HeadlessBackend::poll(out);
    }
    bool wait(int timeoutMs) override
    {
        ++waits;
        if (duringWait)
            duringWait(platform::monotonicMillis() - start);
        return HeadlessBackend::wait(timeoutMs);
    }

    static constexpr int kMaxLooks = 100000;
    int64_t runMillis = 10000;
    int64_t start = -1;
    int looks = 0;
    int waits = 0;
    bool closed = false;
    // Called at each wait with the clock's time since the first look.
    std::function<void(int64_t)> duringWait;
};

class IdleWait : public HostTest
{
  protected:
    void SetUp() override
    {
        HostTest::SetUp();
        auto owned = std::make_unique<CountingDesktop>();
        desktop = owned.get();
        platform::WindowSystem::setBackend(std::move(owned));
        midletFactory() = [this] {
            qev::lang::DPtr<TestMIDlet> m(new SteppingMIDlet(seen));
            m->onStart = [this](TestMIDlet& self) {
                self.canvas = new TimedCanvas(seen);
                self.getDisplay()->setCurrent(self.canvas);
            };
            return m;
        };
    }

    // The program's own loop: no hooks.
    int runLoop()
    {
        return host::runEngine(nullptr, GetSystemMetrics(SM_CXSCREEN),
                               GetSystemMetrics(SM_CYSCREEN), nullptr);
    }

    CountingDesktop* desktop = nullptr;
    Seen seen;
};

TEST_F(IdleWait, AnIdleLoopSleepsUntilTheNextStepAndMakesEveryStep)
{
    ASSERT_EQ(runLoop(), 0);
    ASSERT_TRUE(desktop->closed);
    const int seconds = static_cast<int>(desktop->runMillis / 1000);
    // 40 steps a second, none lost to the waiting.
    EXPECT_GE(seen.steps, 40 * seconds - 2);
    EXPECT_LE(seen.steps, 40 * seconds + 1);
    // One pass and one wait per step, three looks at the desktop (the pass's, and before and
    // after its wait); a loop that slept 1 ms per pass would pass 1,000 times a second.
    EXPECT_LE(journal().ticks, 45 * seconds);
    EXPECT_LE(desktop->waits, 45 * seconds);
    EXPECT_LE(desktop->looks, 135 * seconds);
    EXPECT_EQ(journal().count("destroyApp 1 display"), 1);
}

TEST_F(IdleWait, InputEndsTheWaitAtOnce)
{
    int64_t injectedAt = -1;
    desktop->duringWait = [&](int64_t sinceStart) {
        HWND w = CGameEngine::instance()->window();
        if (injectedAt < 0 && sinceStart >= 2000 && w) {
            // Mid-step: the key must not wait for the step to come due.
            injectedAt = platform::monotonicMillis();
            desktop->injectKey(w, VK_UP, true);
        }
    };
    desktop->runMillis = 3000;
    ASSERT_EQ(runLoop(), 0);
    ASSERT_GE(injectedAt, 0);
    EXPECT_EQ(seen.keyAt, injectedAt);
}

TEST_F(IdleWait, AStopRequestEndsTheWaitAndTheRunAsClosingDoes)
{
    testsupport::StopSignalScope signals;
    int64_t raisedAt = -1;
    desktop->duringWait = [&](int64_t sinceStart) {
        if (raisedAt < 0 && sinceStart >= 1000) {
            raisedAt = platform::monotonicMillis();
            raise(SIGTERM);
        }
    };
    ASSERT_EQ(runLoop(), 0);
    ASSERT_GE(raisedAt, 0);
    EXPECT_FALSE(desktop->closed); // ended by the request, long before the desktop's close
    // The wait the signal came in did not run to its end: the application was destroyed on the
    // same millisecond.
    EXPECT_EQ(seen.destroyedAt, raisedAt);
    EXPECT_EQ(journal().count("destroyApp 1 display"), 1);
}

} // namespace
