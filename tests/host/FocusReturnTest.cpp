// The focus leaves the window and comes back with nothing else from the desktop: no expose, no
// key, no mouse. The program's own loop (the one that blocks while inactive) must go back to
// ticking and presenting frames by itself.
#include "HostFixture.h"

#include "RunEngine.h"

#include "microedition/lcdui/DDisplay.h"
#include "platform/sysinfo.h"
#include "platform/window/WindowSystem.h"

#include <memory>

using namespace hosttest;
using platform::NativeEvent;

namespace {

// A desktop that takes the focus away at one look, gives it back at a later one and closes the
// window once enough frames came after the return, or after a bound when none come.
class FocusRoundTrip : public platform::HeadlessBackend
{
  public:
    static constexpr int kLeave = 20, kReturn = 60, kGiveUp = 600, kFramesWanted = 10;

    void poll(std::vector<NativeEvent>& out) override
    {
        ++looks;
        HWND w = CGameEngine::instance() ? CGameEngine::instance()->window() : nullptr;
        if (w && looks == kLeave) {
            send(w, NativeEvent::Kind::Deactivate);
        } else if (w && looks == kReturn) {
            ticksBeforeReturn = journal().ticks;
            presentsAtReturn = presentCount(w);
            send(w, NativeEvent::Kind::Activate);
        } else if (w && looks > kReturn && !closed &&
                   (presentCount(w) - presentsAtReturn >= kFramesWanted || looks >= kGiveUp)) {
            presentsAfterReturn = presentCount(w) - presentsAtReturn;
            ticksAfterReturn = journal().ticks - ticksBeforeReturn;
            send(w, NativeEvent::Kind::Close);
            closed = true;
        }
        HeadlessBackend::poll(out);
    }

    int looks = 0;
    int ticksBeforeReturn = -1, presentsAtReturn = 0;
    int ticksAfterReturn = 0, presentsAfterReturn = 0;
    bool closed = false;

  private:
    void send(HWND w, NativeEvent::Kind kind)
    {
        NativeEvent e;
        e.kind = kind;
        e.window = w;
        inject(e);
    }
};

class FocusReturn : public HostTest
{
};

TEST_F(FocusReturn, FramesArePresentedAgainWithoutInputAfterTheFocusComesBack)
{
    auto owned = std::make_unique<FocusRoundTrip>();
    FocusRoundTrip& desktop = *owned;
    platform::WindowSystem::setBackend(std::move(owned));
    // Every step paints and shows the canvas, as the game does.
    midletFactory() = [] {
        qev::lang::DPtr<TestMIDlet> m(new TestMIDlet);
        m->onTick = [](TestMIDlet&) {
            if (auto* display = qev::microedition::lcdui::DDisplay::global())
                display->flushGraphics();
        };
        return m;
    };
    // No loop hooks: the run takes the program's own loop.
    EXPECT_EQ(host::runEngine(nullptr, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                              nullptr),
              0);
    ASSERT_TRUE(desktop.closed);
    ASSERT_GT(desktop.ticksBeforeReturn, 0); // it was running before the focus left
    EXPECT_GE(desktop.presentsAfterReturn, FocusRoundTrip::kFramesWanted);
    EXPECT_GE(desktop.ticksAfterReturn, FocusRoundTrip::kFramesWanted);
    EXPECT_EQ(journal().count("pauseApp"), 1);
    EXPECT_EQ(journal().count("showNotify"), 2); // set current at start, then the return
}

} // namespace
