// The failure boxes with their texts, the status of each failed run, and that a failed run
// leaves nothing behind.
#include "HostFixture.h"

#include "display/WindowSubclass.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/media/MediaManager.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/WindowSystem.h"

#include <stdexcept>

using namespace hosttest;
using qev::lang::DPtr;

namespace {

class HostFailure : public HostTest
{
  protected:
    void expectNothingLeft()
    {
        EXPECT_EQ(CGameEngine::instance(), nullptr);
        EXPECT_EQ(qev::microedition::lcdui::DDisplay::global(), nullptr);
        EXPECT_EQ(qev::microedition::midlet::DMIDlet::global().get(), nullptr);
        EXPECT_EQ(platform::WindowSystem::windowCount(), 0u);
        EXPECT_EQ(qev::microedition::media::soundMixer(), nullptr);
    }

    static void startWith(std::function<void(TestMIDlet&)> onStart)
    {
        midletFactory() = [onStart] {
            DPtr<TestMIDlet> m(new TestMIDlet);
            m->onStart = onStart;
            return m;
        };
    }
    static void tickWith(std::function<void(TestMIDlet&)> onTick)
    {
        midletFactory() = [onTick] {
            DPtr<TestMIDlet> m(new TestMIDlet);
            m->onTick = onTick;
            return m;
        };
    }
    int runPastTheSplash()
    {
        Hooks hooks;
        hooks.before = [](long pass) {
            if (pass == 1)
                platform::FakeClock::step(25);
        };
        hooks.limit = 10;
        return run(hooks);
    }
};

TEST_F(HostFailure, AWindowThatCannotBeMadeIsAnErrorWithItsOwnStatus)
{
    platform::DeviceProfile::current().screenWidth = 5000; // larger than any window may be
    Hooks hooks;
    EXPECT_EQ(run(hooks), CGameEngine::kWindowFailed);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error!|The window cannot be created!"});
    EXPECT_EQ(createMIDletCalls(), 0);
    expectNothingLeft();
}

TEST_F(HostFailure, ADisplayThatCannotStartIsAnErrorWithItsOwnStatus)
{
    // Every subclass slot of the display layer taken: the engine's window gets no display.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"Filler";
    ASSERT_NE(RegisterClassW(&wc), 0);
    std::vector<HWND> fillers;
    for (int i = 0; i < ScreenHAL::WindowSubclass::kCapacity; ++i) {
        fillers.push_back(CreateWindowExW(0, u"Filler", u"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                          nullptr, nullptr));
        ASSERT_TRUE(ScreenHAL::WindowSubclass::Add(fillers.back(), nullptr));
    }
    Hooks hooks;
    const int status = run(hooks);
    for (HWND w : fillers) {
        ScreenHAL::WindowSubclass::Remove(w);
        DestroyWindow(w);
    }
    UnregisterClassW(u"Filler", nullptr);
    EXPECT_EQ(status, CGameEngine::kDisplayFailed);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error!|The display cannot be started!"});
    EXPECT_EQ(createMIDletCalls(), 0);
    EXPECT_EQ(hooks.passes, 0);
    expectNothingLeft();
}

TEST_F(HostFailure, AFrameworkExceptionDuringStart)
{
    startWith(
        [](TestMIDlet&) { qev::lang::throwException(qev::lang::ExceptionCode::IOException); });
    EXPECT_EQ(runPastTheSplash(), CGameEngine::kStartFailed);
    EXPECT_EQ(boxTexts(),
              std::vector<std::string>{"Error!|StartApp - unhadled exception 0x6000000!\n"
                                       "IOException"});
    EXPECT_EQ(journal().ticks, 0);
    // The application is still told to end, with its display.
    EXPECT_EQ(journal().count("destroyApp 1 display"), 1);
    EXPECT_EQ(journal().destroyed, 1);
    expectNothingLeft();
}

TEST_F(HostFailure, AnyOtherExceptionDuringStart)
{
    startWith([](TestMIDlet&) { throw std::runtime_error("odd"); });
    EXPECT_EQ(runPastTheSplash(), CGameEngine::kStartFailed);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error!|StartApp - unknown exception!"});
    EXPECT_EQ(journal().destroyed, 1);
    expectNothingLeft();
}

TEST_F(HostFailure, AFrameworkExceptionWhileRunning)
{
    tickWith([](TestMIDlet&) {
        qev::lang::throwException(qev::lang::ExceptionCode::NullPointerException, "no level");
    });
    EXPECT_EQ(runPastTheSplash(), 4);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error!|Run - unhadled exception 0x5000080!\n"
                                                   "NullPointerException\r\nno level"});
    // The engine went before the box: the application ended and the audio thread is gone.
    EXPECT_EQ(journal().count("destroyApp 1 display"), 1);
    EXPECT_EQ(journal().destroyed, 1);
    expectNothingLeft();
}

TEST_F(HostFailure, AnyOtherExceptionWhileRunning)
{
    tickWith([](TestMIDlet&) { throw 7; });
    EXPECT_EQ(runPastTheSplash(), 4);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Error!|Run - unknown exception!"});
    EXPECT_EQ(journal().destroyed, 1);
    expectNothingLeft();
}

TEST_F(HostFailure, ASecondEngineEndsTheProcessWithABox)
{
    EXPECT_EXIT(
        {
            CGameEngine first;
            CGameEngine second;
        },
        ::testing::ExitedWithCode(1), "Error!: GameEngine already exists!");
}

} // namespace
