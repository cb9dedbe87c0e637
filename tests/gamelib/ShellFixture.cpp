#include "ShellFixture.h"

#include "PngBytes.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/RecordStoreUse.h"
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

#include <filesystem>
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

gamelib::GameEntry gameSlots[3];

void emptyGameSlots()
{
    gameSlots[0] = {u"tesk", u"logoTesk.png", &gamelib::tessarineName};
    gameSlots[1] = {u"mirf", u"logoMirf.png", &gamelib::mirrowfenName};
    gameSlots[2] = {u"corv", u"logoCorv.png", &gamelib::corvantineName};
    gamelib::shellScreens().games = gameSlots;
}

} // namespace

void putGame(int slot, const gamelib::GameEntry& game)
{
    gameSlots[slot] = game;
    gamelib::shellScreens().games = gameSlots;
}

ShellTest::ShellTest()
{
    gamelib::resetGlobals();
    emptyGameSlots();
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

std::vector<std::string> storedTable(const char16_t* store)
{
    if (!gamelib::recordStoreExists(store))
        return {"<no store>"};
    std::string bytes;
    qev::microedition::rms::DRecordStorePtr s =
        qev::microedition::rms::DRecordStore::openRecordStore(store, false);
    if (s->getNumRecords() > 0) {
        qev::lang::DbyteArrayPtr r = s->getRecord(1);
        bytes.assign(reinterpret_cast<const char*>(r->getData()), static_cast<size_t>(r->length));
    }
    s->closeRecordStore();
    std::vector<std::string> out;
    size_t at = 1;
    auto byte = [&bytes](size_t i) { return static_cast<uint8_t>(bytes.at(i)); };
    const int count = bytes.empty() ? 0 : byte(0);
    for (int i = 0; i < count && at + 2 <= bytes.size(); ++i) {
        const size_t length = static_cast<size_t>(byte(at) << 8 | byte(at + 1));
        std::string name = bytes.substr(at + 2, length);
        at += 2 + length;
        if (at + 4 > bytes.size())
            break;
        const int32_t score = static_cast<int32_t>(
            static_cast<uint32_t>(byte(at)) << 24 | static_cast<uint32_t>(byte(at + 1)) << 16 |
            static_cast<uint32_t>(byte(at + 2)) << 8 | byte(at + 3));
        at += 4;
        out.push_back(name + " " + std::to_string(score));
    }
    return out;
}

void ShellTest::useRecordsFile(const std::string& path)
{
    platform::Registry::closeDatabase();
    std::filesystem::copy_file(path, profile().registryPath,
                               std::filesystem::copy_options::overwrite_existing);
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
    profile().windowBackend = platform::WindowMode::Headless;
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
