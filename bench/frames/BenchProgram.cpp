#include "BenchProgram.h"

#include "ProgramGames.h"

#include "corvantine/Corvantine.h"
#include "corvantine/CorvantineState.h"
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/MirrowfenGlobals.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "display/VideoDetect.h"
#include "gamelib/GameStatics.h"
#include "gamelib/MainMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "io/D7zipInputStream.h"
#include "lang/DintArray.h"
#include "microedition/lcdui/DFont.h"
#include "microedition/midlet/DMIDlet.h"
#include "platform/DeviceProfile.h"
#include "platform/registry.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace framebench {

namespace {

#ifdef PH_GAME_DATA_FOLDER
const char* const kDataFolder = PH_GAME_DATA_FOLDER;
#else
const char* const kDataFolder = "";
#endif

LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(w, m, wp, lp);
}

// Every global of the game library and the games as a new process has them.
void resetGlobals()
{
    using namespace gamelib;
    if (currentScreen)
        currentScreen->stop();
    currentScreen = nullptr;
    corvantine::resetGlobals();
    mirrowfen::resetGlobals();
    tessarine::releaseModule();
    gamelib::resetGlobals();
}

} // namespace

bool BenchProgram::haveGameData()
{
    return std::filesystem::exists(std::string(kDataFolder) + "/game.dat");
}

BenchProgram::BenchProgram(int width, int height, const std::string& records)
    : m_records(records), m_width(width)
{
    resetGlobals();
    if (m_records.empty()) {
        char pattern[] = "/tmp/ph-bench-frames-XXXXXX";
        m_records = mkdtemp(pattern);
        m_ownRecords = true;
    }
    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.programFile = std::string(kDataFolder) + "/pallasterhorn";
    platform::Registry::closeDatabase();
    profile.registryPath = m_records + "/registry.sqlite";
    profile.clock = platform::ClockMode::Fake;
    profile.audio = platform::AudioMode::Manual;
    profile.screenWidth = width;
    profile.screenHeight = height;
    profile.windowBackend = platform::WindowMode::Headless;
    // A fixed start of the clock seeds the games' random numbers the same way every run.
    platform::FakeClock::freeze(1000000);
    platform::WindowSystem::resetForTests();
    platform::InstanceRegistry::setNamespace("ph-bench-frames-" + std::to_string(getpid()));
    ScreenHAL::VideoDetect::resetForTests();
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    platform::WindowSystem::useHeadless();
    WNDCLASSW wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = u"GameEngine";
    RegisterClassW(&wc);
    m_window = CreateWindowExW(0, u"GameEngine", u"Pallasterhorn", WS_VISIBLE, 0, 0, width, height,
                               nullptr, nullptr, nullptr, nullptr);
    ShowWindow(m_window, SW_SHOW);
    m_context = std::make_unique<ScreenHAL::DisplayContext>(
        m_window, ScreenHAL::DisplayParams{width, height, 0, 1});
    m_lib = new gamelib::GameLib();
    m_display = new qev::microedition::lcdui::DDisplay(m_context.get());
    gamelib::shellScreens().games = programGames();
}

BenchProgram::~BenchProgram()
{
    resetGlobals();
    // As the program does when it ends: the next start makes its fonts again, which a real
    // launch pays for (only the font library's own set-up stays, once per process).
    qev::microedition::lcdui::DFont::clearCache();
    qev::io::D7zipInputStream::closeArchive();
    m_display = nullptr;
    m_lib = nullptr;
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    m_context.reset();
    DestroyWindow(m_window);
    UnregisterClassW(u"GameEngine", nullptr);
    platform::WindowSystem::resetForTests();
    platform::WindowSystem::setBackend(nullptr);
    platform::InstanceRegistry::removeEmptyNamespace();
    ScreenHAL::VideoDetect::resetForTests();
    platform::Registry::closeDatabase();
    std::error_code ec;
    if (m_ownRecords)
        std::filesystem::remove_all(m_records, ec);
    platform::DeviceProfile::reset();
}

bool BenchProgram::answerQuestionsToMainMenu()
{
    for (int i = 0; i < 2 && !dynamic_cast<gamelib::MainMenu*>(gamelib::currentScreen.get()); ++i) {
        step();
        press('5');
    }
    for (int i = 0; i < 400; ++i) {
        if (dynamic_cast<gamelib::MainMenu*>(gamelib::currentScreen.get()))
            return true;
        step();
    }
    return false;
}

bool BenchProgram::startToMainMenu()
{
    startApp();
    return answerQuestionsToMainMenu();
}

bool BenchProgram::startGame(int index, bool (*playing)())
{
    const gamelib::GameTable games = gamelib::shellScreens().games;
    gamelib::GameInterfacePtr (*make)() =
        index >= 0 && index < static_cast<int>(games.size()) ? games[index].make : nullptr;
    if (!make)
        return false;
    if (gamelib::currentScreen)
        gamelib::currentScreen->stop();
    gamelib::currentScreen = make();
    gamelib::currentScreen->start();
    // The game's menu ignores presses within 200 ms of the last one.
    steps(9);
    press(key(4));
    for (int i = 0; i < 2000 && !playing(); ++i)
        step();
    return playing();
}

void BenchProgram::step()
{
    platform::FakeClock::step(gamelib::GameLib::kStepMillis);
    m_lib->tick();
}

void BenchProgram::steps(int n)
{
    for (int i = 0; i < n; ++i)
        step();
}

void BenchProgram::press(int32_t code)
{
    gamelib::screenCanvas->keyPressed(code);
    step();
    gamelib::screenCanvas->keyReleased(code);
    step();
}

int32_t BenchProgram::key(int32_t action)
{
    return (*gamelib::screenCanvas->getKeys(action, 1))[0];
}

uint64_t BenchProgram::windowHash() const
{
    const std::vector<uint16_t>* store = platform::WindowSystem::backingStore(m_window);
    uint64_t h = 1469598103934665603ull;
    if (store)
        for (uint16_t p : *store) {
            h = (h ^ (p & 0xFF)) * 1099511628211ull;
            h = (h ^ (p >> 8)) * 1099511628211ull;
        }
    return h;
}

bool BenchProgram::writeWindow(const std::string& path) const
{
    const std::vector<uint16_t>* store = platform::WindowSystem::backingStore(m_window);
    const int w = m_width;
    if (!store || w <= 0)
        return false;
    const size_t h = store->size() / static_cast<size_t>(w);
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << w << " " << h << "\n255\n";
    for (uint16_t p : *store) {
        const char rgb[3] = {static_cast<char>((p >> 11) * 255 / 31),
                             static_cast<char>(((p >> 5) & 63) * 255 / 63),
                             static_cast<char>((p & 31) * 255 / 31)};
        out.write(rgb, 3);
    }
    return static_cast<bool>(out);
}

} // namespace framebench
