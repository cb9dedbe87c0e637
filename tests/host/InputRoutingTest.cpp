// Keys and the stylus from desktop events to the current canvas, through the window's messages.
#include "HostFixture.h"

#include "microedition/lcdui/DDisplay.h"
#include "microedition/lcdui/DeviceKeys.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"

using namespace hosttest;
using platform::NativeEvent;
using qev::lang::DPtr;
using qev::microedition::lcdui::kKeyAction;
using qev::microedition::lcdui::kKeySoftLeft;
using qev::microedition::lcdui::kKeyStar;

namespace {

// A journal entry of the canvas: "key", "repeat" or "release" and the code.
std::string event(const char* what, int32_t code)
{
    return std::string(what) + " " + std::to_string(code);
}

class InputRouting : public HostTest
{
  protected:
    // Runs until every injected event was taken (one message per pass) and returns what the
    // canvas received, without the start and end entries.
    std::vector<std::string> deliver(const std::function<void()>& inject)
    {
        Hooks hooks;
        hooks.before = [&](long pass) {
            if (pass == 1)
                inject();
        };
        hooks.limit = 60;
        EXPECT_EQ(run(hooks), 0);
        std::vector<std::string> seen;
        for (const std::string& e : journal().entries)
            if (e.rfind("key", 0) == 0 || e.rfind("repeat", 0) == 0 || e.rfind("release", 0) == 0 ||
                e.rfind("pointer", 0) == 0)
                seen.push_back(e);
        return seen;
    }

    void key(UINT vk, bool down, bool repeat = false)
    {
        headless->injectKey(window(), vk, down, repeat);
    }
    void mouse(NativeEvent::Kind kind, int x, int y, bool held)
    {
        headless->injectMouse(window(), kind, x, y, held);
    }
};

TEST_F(InputRouting, SmartphoneKeysArriveTranslatedWithTheRepeatBit)
{
    platform::DeviceProfile::current().platformType = u"SmartPhone";
    auto seen = deliver([&] {
        key(114, true); // F3: no event at all
        key(114, false);
        key(119, true); // F8: star
        key(119, true, true);
        key(119, true, true); // dropped: the repeat before it is still queued
        key(119, false);
        key(13, true);
        key(13, false);
        key(116, true); // F5 passes unchanged
    });
    const std::vector<std::string> expected{event("key", kKeyStar),       event("repeat", kKeyStar),
                                            event("release", kKeyStar),   event("key", kKeyAction),
                                            event("release", kKeyAction), "key 116"};
    EXPECT_EQ(seen, expected);
}

TEST_F(InputRouting, PocketPcKeysArriveTranslated)
{
    auto seen = deliver([&] {
        key(124, true); // F13: the shell's
        key(91, true);  // left Windows key
        key(193, true);
        key(193, false);
        key(119, true); // F8 is no star key here
        key(38, true);
        key(38, true, true);
        key(38, false);
    });
    const std::vector<std::string> expected{event("key", kKeySoftLeft),
                                            event("release", kKeySoftLeft),
                                            "key 119",
                                            "key 38",
                                            "repeat 38",
                                            "release 38"};
    EXPECT_EQ(seen, expected);
}

TEST_F(InputRouting, StylusMovesCountOnlyWithTheButtonHeld)
{
    auto seen = deliver([&] {
        mouse(NativeEvent::Kind::MouseMove, 5, 6, false);
        mouse(NativeEvent::Kind::MouseDown, 10, 20, true);
        mouse(NativeEvent::Kind::MouseMove, 11, 21, true);
        mouse(NativeEvent::Kind::MouseUp, 239, 319, false);
        mouse(NativeEvent::Kind::MouseMove, 30, 40, false);
    });
    const std::vector<std::string> expected{"pointer down 10,20", "pointer drag 11,21",
                                            "pointer up 239,319"};
    EXPECT_EQ(seen, expected);
}

TEST_F(InputRouting, EventsWithoutACurrentCanvasAreDropped)
{
    midletFactory() = [] {
        DPtr<TestMIDlet> m(new TestMIDlet);
        m->onStart = [](TestMIDlet& self) { self.getDisplay()->setCurrent(nullptr); };
        return m;
    };
    auto seen = deliver([&] {
        key(38, true);
        mouse(NativeEvent::Kind::MouseDown, 1, 2, true);
    });
    EXPECT_TRUE(seen.empty());
}

TEST_F(InputRouting, EventsBeforeTheDisplayExistsAreDropped)
{
    CGameEngine engine;
    engine.keyPressed(38);
    engine.keyRepeated(38);
    engine.keyReleased(38);
    engine.pointerPressed(1, 2);
    engine.pointerDragged(1, 2);
    engine.pointerReleased(1, 2);
    engine.resume();
    EXPECT_TRUE(journal().entries.empty());
}

} // namespace
