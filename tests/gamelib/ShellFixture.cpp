#include "ShellFixture.h"

#include "PngBytes.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "io/D7zipInputStream.h"
#include "lang/DbyteArray.h"
#include "microedition/rms/DRecordStore.h"
#include "platform/registry.h"

#include "display/VideoDetect.h"
#include "platform/sysinfo.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <unistd.h>

#include <vector>

namespace shelltest {

std::string png(int w, int h, uint32_t rgb)
{
    return testsupport::solidPng(w, h, rgb);
}

namespace {

qev::lang::DStringPtr applicationName()
{
    return u"Pallasterhorn";
}

} // namespace

ShellTest::ShellTest()
{
    gamelib::resetGlobals();
    profile().programFile = folder.path() + "/game.exe";
    platform::Registry::closeDatabase();
    profile().registryPath = folder.path() + "/registry.sqlite";
    qev::microedition::rms::DRecordStore::setApplicationNameSource(&applicationName);
    gamelib::screenWidth = 240;
    gamelib::screenHeight = 320;
}

ShellTest::~ShellTest()
{
    qev::io::D7zipInputStream::closeArchive();
    gamelib::resetGlobals();
    qev::microedition::rms::DRecordStore::setApplicationNameSource(nullptr);
    platform::Registry::closeDatabase();
}

void ShellTest::openArchive(const std::map<std::string, std::string>& entries)
{
    ASSERT_TRUE(sevenzip::pack(folder.path() + "/game.dat", entries, sevenzip::nonSolid("Copy")))
        << "the 7z tool (p7zip-full) could not build game.dat";
    qev::io::D7zipInputStream::openArchive(u"game.dat", u"");
}

std::string ShellTest::readAll(qev::io::DInputStreamPtr in)
{
    std::string out;
    qev::lang::DbyteArrayPtr buf = new qev::lang::DbyteArray(256);
    for (int32_t n; (n = in->read(buf, 0, buf->length)) > 0;)
        out.append(reinterpret_cast<const char*>(buf->getData()), static_cast<size_t>(n));
    return out;
}

namespace {

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_CLOSE)
        return 0;
    return DefWindowProcW(w, m, wp, lp);
}

} // namespace

ShellDisplayTest::ShellDisplayTest()
{
    platform::WindowSystem::resetForTests();
    platform::InstanceRegistry::setNamespace("ph-gamelib-test-" + std::to_string(getpid()));
    ScreenHAL::VideoDetect::resetForTests();
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    profile().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(100000);
}

ShellDisplayTest::~ShellDisplayTest()
{
    gamelib::resetGlobals();
    display = nullptr;
    lib = nullptr;
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    context.reset();
    platform::WindowSystem::resetForTests();
    platform::WindowSystem::setBackend(nullptr);
    platform::InstanceRegistry::removeEmptyNamespace();
    ScreenHAL::VideoDetect::resetForTests();
}

void ShellDisplayTest::startDisplay(int width, int height)
{
    profile().screenWidth = width;
    profile().screenHeight = height;
    profile().windowBackend = platform::WindowBackendKind::Headless;
    platform::WindowSystem::useHeadless();
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"GameEngine";
    RegisterClassW(&wc);
    window = CreateWindowExW(0, u"GameEngine", u"Pallasterhorn", WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    context = std::make_unique<ScreenHAL::DisplayContext>(
        window, ScreenHAL::DisplayParams{width, height, 0, 1});
    lib = qev::lang::dcast<gamelib::GameLib>(createMIDlet());
    display = new qev::microedition::lcdui::DDisplay(context.get());
}

void ShellDisplayTest::step()
{
    platform::FakeClock::step(gamelib::GameLib::kStepMillis);
    lib->tick();
}

void ShellDisplayTest::steps(int n)
{
    for (int i = 0; i < n; ++i)
        step();
}

void ShellDisplayTest::press(int32_t code)
{
    gamelib::screenCanvas->keyPressed(code);
    gamelib::screenCanvas->keyReleased(code);
    step();
    step();
}

void ShellDisplayTest::makeCanvas()
{
    gamelib::screenCanvas = new gamelib::ScreenCanvas();
    display->setCurrent(gamelib::screenCanvas);
}

uint16_t ShellDisplayTest::windowPixel(int x, int y) const
{
    const std::vector<uint16_t>& store = *platform::WindowSystem::backingStore(window);
    return store[static_cast<size_t>(y) * GetSystemMetrics(SM_CXSCREEN) + x];
}

} // namespace shelltest
