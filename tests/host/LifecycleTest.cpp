// The engine's life with a test application: splash, start, ticks, activation, close, and what
// is left afterwards.
#include "HostFixture.h"

#include "HostResources.h"
#include "RunEngine.h"
#include "SplashArt.h"

#include "io/Console.h"
#include "lang/DExceptionBase.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/media/MediaManager.h"
#include "platform/DeviceProfile.h"
#include "platform/aygshell.h"
#include "platform/sysinfo.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/WindowSystem.h"
#include "sound/sndSpeaker.h"
#include "sound/sndWinMM.h"

#include "TempFolder.h"

#include "lang/DbyteArray.h"
#include "platform/window/InstanceRegistry.h"

#include <unistd.h>

using namespace hosttest;
using platform::FakeClock;
using qev::lang::DPtr;

namespace {

class HostLifecycle : public HostTest
{
  protected:
    // Nothing of the run may be left.
    void expectNothingLeft()
    {
        EXPECT_EQ(CGameEngine::instance(), nullptr);
        EXPECT_EQ(qev::microedition::lcdui::DDisplay::global(), nullptr);
        EXPECT_EQ(qev::microedition::midlet::DMIDlet::global().get(), nullptr);
        EXPECT_EQ(platform::WindowSystem::windowCount(), 0u);
        EXPECT_EQ(qev::microedition::media::soundMixer(), nullptr);
        // The class is free again.
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"GameEngine";
        EXPECT_NE(RegisterClassW(&wc), 0);
        UnregisterClassW(u"GameEngine", nullptr);
    }

    sndWinMM* audioDriver()
    {
        sndSpeaker* mixer = qev::microedition::media::soundMixer();
        return mixer ? dynamic_cast<sndWinMM*>(mixer->Driver()) : nullptr;
    }
};

TEST_F(HostLifecycle, TheSplashPassDoesNotTickTheApplication)
{
    Hooks hooks;
    std::vector<int> ticks;
    std::vector<bool> splash;
    hooks.before = [](long pass) {
        if (pass == 1)
            FakeClock::step(1);
    };
    hooks.after = [&](long pass) {
        ticks.push_back(journal().ticks);
        splash.push_back(CGameEngine::instance()->splashShowing());
        return pass < 3;
    };
    EXPECT_EQ(run(hooks), 0);
    EXPECT_EQ(ticks, (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(splash, (std::vector<bool>{true, false, false, false}));
    expectNothingLeft();
}

TEST_F(HostLifecycle, TheSplashEndsAcrossTheTickCountsWrap)
{
    // Start ten milliseconds before the 32-bit tick count wraps to 0.
    FakeClock::jumpTo((int64_t{1} << 32) - 10);
    Hooks hooks;
    hooks.before = [](long pass) {
        if (pass == 1)
            FakeClock::step(20);
    };
    std::vector<bool> splash;
    hooks.after = [&](long pass) {
        splash.push_back(CGameEngine::instance()->splashShowing());
        return pass < 2;
    };
    EXPECT_EQ(run(hooks), 0);
    // An unsigned comparison would keep the splash (and stop every tick) for 49.7 days.
    EXPECT_EQ(splash, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(journal().ticks, 1);
}

TEST_F(HostLifecycle, NotifyDestroyedDuringStartEndsBeforeTheFirstPass)
{
    midletFactory() = [] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onStart = [](TestMIDlet& self) { self.notifyDestroyed(); };
        return m;
    };
    Hooks hooks;
    EXPECT_EQ(run(hooks), 0);
    EXPECT_EQ(hooks.passes, 0);
    EXPECT_EQ(journal().ticks, 0);
    EXPECT_EQ(journal().count("destroyApp 1 display"), 1);
    EXPECT_EQ(journal().destroyed, 1);
    expectNothingLeft();
}

TEST_F(HostLifecycle, CloseRunsDestroyAppBeforeTheDisplayGoes)
{
    Hooks hooks;
    hooks.before = [&](long pass) {
        if (pass == 1)
            FakeClock::step(25);
        if (pass == 4) {
            platform::NativeEvent close;
            close.kind = platform::NativeEvent::Kind::Close;
            close.window = window();
            headless->inject(close);
        }
    };
    EXPECT_EQ(run(hooks), 0);
    // The close is taken in pass 4; its tick still runs, then the loop ends.
    EXPECT_EQ(hooks.passes, 5);
    EXPECT_EQ(journal().ticks, 3);
    ASSERT_FALSE(journal().entries.empty());
    EXPECT_EQ(journal().entries.back(), "destroyApp 1 display");
    EXPECT_EQ(journal().destroyed, 1);
    expectNothingLeft();
}

TEST_F(HostLifecycle, TheOkCommandClosesTheWindow)
{
    Hooks hooks;
    hooks.after = [&](long pass) {
        if (pass == 2) {
            EXPECT_EQ(SendMessageW(window(), WM_SETTINGCHANGE, 0, 0), 0);
            SendMessageW(window(), WM_COMMAND, 2, 0); // not the OK button: nothing happens
            SendMessageW(window(), WM_COMMAND, IDOK, 0);
        }
        return true;
    };
    EXPECT_EQ(run(hooks), 0);
    EXPECT_EQ(hooks.passes, 3);
    EXPECT_EQ(journal().count("destroyApp 1 display"), 1);
    expectNothingLeft();
}

TEST_F(HostLifecycle, AQuitMessageEndsTheLoopWhileInactive)
{
    Hooks hooks;
    hooks.before = [&](long pass) {
        if (pass == 2) {
            platform::NativeEvent e;
            e.kind = platform::NativeEvent::Kind::Deactivate;
            e.window = window();
            headless->inject(e);
        }
        if (pass == 4)
            PostQuitMessage(0);
    };
    EXPECT_EQ(run(hooks), 0);
    EXPECT_EQ(hooks.passes, 5);
    EXPECT_EQ(journal().count("pauseApp"), 1);
    expectNothingLeft();
}

TEST_F(HostLifecycle, DeactivationPausesAudioAndTheApplicationActivationShowsTheCanvas)
{
    Hooks hooks;
    int ticksWhenPaused = -1;
    bool pausedWhileInactive = false, pausedAfterResume = true;
    hooks.before = [&](long pass) {
        platform::NativeEvent e;
        e.window = window();
        if (pass == 1)
            FakeClock::step(25);
        if (pass == 3) {
            e.kind = platform::NativeEvent::Kind::Deactivate;
            headless->inject(e);
        }
        if (pass == 8) {
            e.kind = platform::NativeEvent::Kind::Activate;
            headless->inject(e);
        }
    };
    hooks.after = [&](long pass) {
        if (pass == 3) {
            ticksWhenPaused = journal().ticks;
            pausedWhileInactive = audioDriver() && audioDriver()->IsPaused();
        }
        if (pass == 7) {
            EXPECT_EQ(journal().ticks, ticksWhenPaused); // no ticks while inactive
        }
        if (pass == 8)
            pausedAfterResume = audioDriver() && audioDriver()->IsPaused();
        return pass < 10;
    };
    ASSERT_EQ(run(hooks), 0);
    EXPECT_TRUE(pausedWhileInactive);
    EXPECT_FALSE(pausedAfterResume);
    EXPECT_GT(journal().ticks, ticksWhenPaused);
    EXPECT_EQ(journal().count("pauseApp"), 1);
    // One showNotify from setCurrent at start, one from the activation; nothing else.
    const std::vector<std::string> expected{"startApp", "showNotify", "pauseApp", "showNotify",
                                            "destroyApp 1 display"};
    EXPECT_EQ(journal().entries, expected);
}

TEST_F(HostLifecycle, ASecondCopyRaisesTheFirstAndEndsQuietly)
{
    ASSERT_TRUE(platform::InstanceRegistry::seedForeign(u"GameEngine", u"Pallasterhorn"));
    Hooks hooks;
    EXPECT_EQ(run(hooks), 0);
    EXPECT_EQ(platform::InstanceRegistry::seededRaiseCount(), 1);
    EXPECT_EQ(createMIDletCalls(), 0);
    EXPECT_EQ(hooks.passes, 0);
    EXPECT_TRUE(boxTexts().empty());
    expectNothingLeft();
}

TEST_F(HostLifecycle, TheSplashIsPaintedInTheMiddleOfTheWindow)
{
    // The picture as drawn, sample by sample: what the build stored for the host must match.
    const auto splash = host::SplashArt::draw();
    const int w = host::SplashArt::kWidth, h = host::SplashArt::kHeight;
    const int left = (240 - w) / 2, top = (320 - h) / 2;
    Hooks hooks;
    std::vector<uint16_t> shown;
    hooks.after = [&](long) {
        InvalidateRect(window(), nullptr, FALSE);
        UpdateWindow(window());
        shown = *platform::WindowSystem::backingStore(window());
        return false;
    };
    EXPECT_EQ(run(hooks), 0);
    ASSERT_EQ(shown.size(), 240u * 320u);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differing += shown[static_cast<size_t>(top + y) * 240 + left + x] !=
                         splash[static_cast<size_t>(y) * w + x];
    EXPECT_EQ(differing, 0);
    // Outside it the window keeps what it had.
    EXPECT_NE(shown[0], splash[0]);
}

TEST_F(HostLifecycle, AygshellHidesTheTaskbarWhileTheWindowLives)
{
    Hooks hooks;
    DWORD shell = 0;
    hooks.after = [&](long) {
        shell = platform::WindowSystem::shellState(window());
        return false;
    };
    EXPECT_EQ(host::runProgram(nullptr, u"", &hooks), 0);
    EXPECT_EQ(shell, DWORD(SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON));
    EXPECT_EQ(CGameEngine::shFullScreen(), nullptr);
}

TEST_F(HostLifecycle, TheApplicationsPropertiesAreAnsweredWhileItRuns)
{
    Hooks hooks;
    std::string name;
    hooks.after = [&](long) {
        qev::lang::DStringPtr n = CGameEngine::getAppProperty(u"app.name");
        name = n ? std::string(n->chars(), n->chars() + n->length()) : "(null)";
        return false;
    };
    EXPECT_EQ(run(hooks), 0);
    EXPECT_EQ(name, "HostTest");
    try {
        CGameEngine::getAppProperty(u"app.name");
        ADD_FAILURE() << "no exception without an engine";
    } catch (qev::lang::DExceptionBase* e) {
        EXPECT_EQ(e->code, qev::lang::ExceptionCode::NullPointerException);
        delete e;
    }
}

TEST_F(HostLifecycle, ConsoleOutputGoesToTheLogOnlyWithUselog)
{
    testsupport::TempFolder folder;
    platform::DeviceProfile::current().programFile = folder.path() + "/pallasterhorn";
    auto writeLine = [](long) {
        qev::lang::DbyteArrayPtr bytes(new qev::lang::DbyteArray(5));
        for (int i = 0; i < 5; ++i)
            bytes[i] = static_cast<int8_t>("hello"[i]);
        qev::io::consoleOut()->write(bytes);
        return false;
    };
    Hooks quiet;
    quiet.after = writeLine;
    EXPECT_EQ(run(quiet), 0);
    EXPECT_EQ(qev::io::consoleOut().get(), nullptr); // released at the end
    EXPECT_EQ(access((folder.path() + "/doutput.txt").c_str(), F_OK), -1);

    folder.write("uselog.txt", "");
    qev::microedition::media::resetSound();
    Hooks logged;
    logged.after = writeLine;
    EXPECT_EQ(run(logged), 0);
    EXPECT_EQ(folder.read("doutput.txt"), "hello");
    EXPECT_EQ(folder.read("derror.txt"), "");

    // A link in the place of a log is not written through: its target stays, the run goes on.
    const std::string target = folder.write("elsewhere/precious.txt", "keep");
    for (const std::string log : {"doutput.txt", "derror.txt"}) {
        for (const std::string name : {"doutput.txt", "derror.txt"}) {
            unlink((folder.path() + "/" + name).c_str()); // a log the last run did not make
            if (name == log) {
                ASSERT_EQ(symlink(target.c_str(), (folder.path() + "/" + name).c_str()), 0);
            }
        }
        qev::microedition::media::resetSound();
        Hooks linked;
        linked.after = writeLine;
        EXPECT_EQ(run(linked), 0) << log;
        EXPECT_EQ(folder.read("elsewhere/precious.txt"), "keep") << log;
    }
}

} // namespace
