#include "HostFixture.h"

#include "CreateMIDlet.h"
#include "HostResources.h"
#include "RunEngine.h"

#include "display/VideoDetect.h"
#include "microedition/lcdui/DDisplay.h"
#include "microedition/media/MediaManager.h"
#include "platform/DeviceProfile.h"
#include "platform/resources.h"
#include "platform/sysinfo.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <algorithm>
#include <unistd.h>

using qev::lang::DPtr;
using qev::lang::DStringPtr;

namespace hosttest {

int Journal::count(const std::string& entry) const
{
    return static_cast<int>(std::count(entries.begin(), entries.end(), entry));
}

Journal& journal()
{
    static Journal j;
    return j;
}

namespace {
void log(std::string entry)
{
    journal().entries.push_back(std::move(entry));
}
} // namespace

void RecordingCanvas::keyPressed(int32_t code)
{
    log("key " + std::to_string(code));
}
void RecordingCanvas::keyRepeated(int32_t code)
{
    log("repeat " + std::to_string(code));
}
void RecordingCanvas::keyReleased(int32_t code)
{
    log("release " + std::to_string(code));
}
void RecordingCanvas::pointerPressed(int32_t x, int32_t y)
{
    log("pointer down " + std::to_string(x) + "," + std::to_string(y));
}
void RecordingCanvas::pointerReleased(int32_t x, int32_t y)
{
    log("pointer up " + std::to_string(x) + "," + std::to_string(y));
}
void RecordingCanvas::pointerDragged(int32_t x, int32_t y)
{
    log("pointer drag " + std::to_string(x) + "," + std::to_string(y));
}
void RecordingCanvas::showNotify()
{
    log("showNotify");
}
void RecordingCanvas::hideNotify()
{
    log("hideNotify");
}

TestMIDlet::~TestMIDlet()
{
    ++journal().destroyed;
}

bool TestMIDlet::destroyApp(bool unconditional)
{
    // What a real application relies on while it saves its state.
    auto* display = qev::microedition::lcdui::DDisplay::global();
    log(std::string("destroyApp ") + (unconditional ? "1" : "0") +
        (display && display == getDisplay().get() ? " display" : " no display"));
    canvas = nullptr;
    return true;
}

void TestMIDlet::pauseApp()
{
    log("pauseApp");
}

void TestMIDlet::startApp()
{
    log("startApp");
    canvas = new RecordingCanvas;
    getDisplay()->setCurrent(canvas);
    if (onStart)
        onStart(*this);
}

void TestMIDlet::tick()
{
    ++journal().ticks;
    if (onTick)
        onTick(*this);
}

DStringPtr TestMIDlet::getAppProperty(DStringPtr key)
{
    if (key && key->equals(u"app.name"))
        return u"HostTest";
    return nullptr;
}

std::function<DPtr<TestMIDlet>()>& midletFactory()
{
    static std::function<DPtr<TestMIDlet>()> f;
    return f;
}

int& createMIDletCalls()
{
    static int n = 0;
    return n;
}

void Hooks::beforePass(long pass)
{
    passes = pass + 1;
    if (before)
        before(pass);
}

bool Hooks::afterPass(long pass)
{
    if (after && !after(pass))
        return false;
    return pass + 1 < limit;
}

void HostTest::SetUp()
{
    platform::DeviceProfile::reset();
    platform::DeviceProfile& p = platform::DeviceProfile::current();
    p.clock = platform::ClockMode::Fake;
    p.audio = platform::AudioMode::Manual;
    p.messageBoxes = platform::MessageBoxMode::Recorded;
    platform::FakeClock::freeze(1000000);
    platform::WindowSystem::resetForTests();
    headless = &platform::WindowSystem::useHeadless();
    platform::InstanceRegistry::setNamespace("ph-host-test-" + std::to_string(getpid()));
    ScreenHAL::VideoDetect::resetForTests();
    qev::microedition::media::resetSound();
    platform::Resources::clear();
    host::registerResources();
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    journal() = Journal{};
    midletFactory() = nullptr;
    createMIDletCalls() = 0;
}

void HostTest::TearDown()
{
    EXPECT_EQ(CGameEngine::instance(), nullptr);
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    qev::microedition::media::resetSound();
    platform::WindowSystem::resetForTests();
    platform::WindowSystem::setBackend(nullptr);
    platform::InstanceRegistry::clearSeeds();
    platform::InstanceRegistry::removeEmptyNamespace();
    ScreenHAL::VideoDetect::resetForTests();
    platform::Resources::clear();
    platform::DeviceProfile::reset();
}

int HostTest::run(Hooks& hooks)
{
    return host::runEngine(nullptr, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                           &hooks);
}

HWND HostTest::window() const
{
    CGameEngine* e = CGameEngine::instance();
    return e ? e->window() : nullptr;
}

std::vector<std::string> HostTest::boxTexts() const
{
    std::vector<std::string> texts;
    for (const auto& b : platform::WindowSystem::recordedMessageBoxes())
        texts.push_back(b.caption + "|" + b.text);
    return texts;
}

} // namespace hosttest

qev::microedition::midlet::DMIDletPtr createMIDlet()
{
    ++hosttest::createMIDletCalls();
    auto& factory = hosttest::midletFactory();
    if (factory)
        return factory();
    return new hosttest::TestMIDlet;
}
