#include "ShellFixture.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
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

#include <png.h>
#include <unistd.h>

#include <vector>

namespace shelltest {

std::string png(int w, int h, uint32_t rgb)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = static_cast<uint8_t>(rgb >> 16);
        pixels[i + 1] = static_cast<uint8_t>(rgb >> 8);
        pixels[i + 2] = static_cast<uint8_t>(rgb);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

namespace {

qev::lang::DStringPtr applicationName()
{
    return u"Pallasterhorn";
}

} // namespace

ShellTest::ShellTest()
{
    resetShellGlobals();
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
    resetShellGlobals();
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
    resetShellGlobals();
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

void resetShellGlobals()
{
    using namespace gamelib;
    GameStatics::release();
    currentScreen = nullptr;
    screenCanvas = nullptr;
    screenGraphics = nullptr;
    screenWidth = screenHeight = 0;
    screenSupported = 0;
    graphicsSet = nullptr;
    folderAliases = nullptr;
    languageIndex = -1;
    languageNames = languageShortNames = nullptr;
    languageCount = 0;
    soundAnswer = soundAnswered = 0;
    frameClock = lastTickDuration = 0;
    ScreenCanvas::clearKeys();
    softKeyLeftCode = softKeyRightCode = 0;
    levelJumpSequence = nullptr;
    levelJumpFlag = 0;
    levelJumpNumber = 0;
    shellScreens() = ShellScreens{};
    gameLib = nullptr;
}

} // namespace shelltest
