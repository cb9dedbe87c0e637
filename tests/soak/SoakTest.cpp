// The soak tool on the real game data: the same seed plays the same run, a screen that throws is
// counted as a crash and the program is started again, and a run that shows no frames is
// stopped as a hang after ten simulated seconds.
#include "SoakDriver.h"
#include "SoakRun.h"

#include "CreateMIDlet.h"

#include "gamelib/GameInterface.h"
#include "gamelib/GameLib.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/WindowSystem.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <vector>

[[maybe_unused]] static auto* const application = &createMIDlet;

namespace {

void shellOnly() {}

// The shell's screens only: these tests are about the tool, not about the games.
soak::SoakOptions options(double minutes, uint64_t seed)
{
    soak::SoakOptions o;
    o.registerScreens = &shellOnly;
    o.minutes = minutes;
    o.seed = seed;
    o.data = PH_SOAK_DATA_FOLDER;
    return o;
}

TEST(Soak, TheSameSeedPlaysTheSameRunThroughStartUpToTheMainMenu)
{
    soak::SoakFigures one, two, other;
    ASSERT_TRUE(soak::runSoak(options(1.5, 11), one));
    ASSERT_TRUE(soak::runSoak(options(1.5, 11), two));
    ASSERT_TRUE(soak::runSoak(options(1.5, 12), other));

    EXPECT_EQ(3600, one.steps);
    EXPECT_EQ(0, one.crashes) << (one.faults.empty() ? "" : one.faults[0]);
    EXPECT_EQ(0, one.hangs);
    EXPECT_TRUE(one.screens.count("LangMenu"));
    EXPECT_TRUE(one.screens.count("MainMenu")) << "the questions were answered";
    EXPECT_GT(one.keyEvents, 0);

    EXPECT_EQ(one.steps, two.steps);
    EXPECT_EQ(one.runs, two.runs);
    EXPECT_EQ(one.screens, two.screens);
    EXPECT_EQ(one.levels, two.levels);
    EXPECT_EQ(one.keyEvents, two.keyEvents);
    EXPECT_EQ(one.taps, two.taps);
    EXPECT_EQ(one.deactivations, two.deactivations);
    EXPECT_NE(std::make_pair(one.keyEvents, one.screens),
              std::make_pair(other.keyEvents, other.screens))
        << "another seed, another run";
    EXPECT_GT(one.rssStartKb, 0);
    EXPECT_GT(one.rssEndKb, 0);
}

// A language question that throws a plain C++ exception on its tenth step.
class ThrowingScreen : public gamelib::GameInterface
{
  public:
    void update() override
    {
        if (++m_updates == 10)
            throw std::runtime_error("broken screen");
    }

  private:
    int m_updates = 0;
};

void registerThrowingLanguageMenu()
{
    gamelib::shellScreens().makeLangMenu = [] {
        return gamelib::GameInterfacePtr(new ThrowingScreen);
    };
}

TEST(Soak, AnUncaughtExceptionIsACrashAndTheProgramStartsAgain)
{
    soak::SoakOptions o = options(0.2, 3);
    o.registerScreens = &registerThrowingLanguageMenu;
    soak::SoakFigures f;
    ASSERT_TRUE(soak::runSoak(o, f));
    EXPECT_EQ(480, f.steps);
    EXPECT_GE(f.crashes, 2);
    // Every run ended in a crash, but the last one, which the time ended.
    EXPECT_EQ(f.runs, f.crashes + 1);
    ASSERT_FALSE(f.faults.empty());
    EXPECT_NE(std::string::npos, f.faults[0].find("crash at run 1"));
    EXPECT_NE(std::string::npos, f.faults[0].find("Error!"));
    EXPECT_EQ(0, f.hangs);
}

TEST(Soak, NoFrameForTenSimulatedSecondsIsAHang)
{
    platform::WindowSystem::resetForTests();
    platform::HeadlessBackend& backend = platform::WindowSystem::useHeadless();
    platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(1000000);
    soak::SoakFigures f;
    // No program runs, so no frame is ever shown.
    soak::SoakDriver driver(5, 100000, backend, f);
    driver.startRun();
    long pass = 0;
    bool going = true;
    for (; going && pass < 4000; ++pass) {
        driver.beforePass(pass);
        going = driver.afterPass(pass);
    }
    EXPECT_TRUE(driver.runHung());
    EXPECT_FALSE(going);
    // Ten seconds are 400 passes; time without the focus does not count.
    EXPECT_GE(pass, soak::SoakDriver::kHangMillis / soak::SoakDriver::kStepMillis);
    EXPECT_LT(pass, 4000);
    platform::WindowSystem::resetForTests();
    platform::DeviceProfile::reset();
}

// The level select types every level a game has: the brick-breaker's rounds go up to 50. Read
// from the keys the driver feeds, without running the program.
TEST(Soak, TheLevelSelectTypesEveryBrickBreakerRound)
{
    platform::HeadlessBackend backend;
    soak::SoakFigures figures;
    soak::SoakDriver driver(5, 0, backend, figures);
    std::set<int> typed;
    std::vector<unsigned> presses;
    std::vector<platform::NativeEvent> events;
    for (long pass = 0; pass < 3000000 && typed.size() < 51; ++pass) {
        driver.beforePass(pass);
        events.clear();
        backend.poll(events);
        for (const platform::NativeEvent& e : events) {
            if (e.kind != platform::NativeEvent::Kind::KeyDown || e.repeat)
                continue;
            presses.push_back(e.virtualKey);
            const size_t n = presses.size();
            if (n >= 5 && presses[n - 5] == VK_APP3 && presses[n - 4] == VK_APP2 &&
                presses[n - 3] == VK_APP3 && presses[n - 2] >= '0' && presses[n - 2] <= '9' &&
                presses[n - 1] >= '0' && presses[n - 1] <= '9')
                typed.insert(static_cast<int>((presses[n - 2] - '0') * 10 + presses[n - 1] - '0'));
        }
    }
    for (int round = 1; round <= 50; ++round)
        EXPECT_TRUE(typed.count(round)) << "round " << round << " is never typed";
    EXPECT_EQ(0, *typed.begin()) << "and a number that is no level";
    EXPECT_EQ(50, *typed.rbegin());
}

} // namespace
