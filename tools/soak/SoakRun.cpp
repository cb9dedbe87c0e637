#include "SoakRun.h"

#include "SoakDriver.h"

#include "GameEngine.h"
#include "HostResources.h"
#include "ProgramGames.h"
#include "RunEngine.h"

#include "display/VideoDetect.h"
#include "gamelib/GameLib.h"
#include "microedition/media/MediaManager.h"
#include "microedition/midlet/DMIDlet.h"
#include "platform/DeviceProfile.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "platform/testing/FakeClock.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace soak {

namespace {

// A fresh window system, sound, resources and game library for each run, as a new start of the
// program has.
void prepareRun(void (*registerScreens)())
{
    gamelib::resetGlobals();
    platform::WindowSystem::resetForTests();
    qev::microedition::media::resetSound();
    ScreenHAL::VideoDetect::resetForTests();
    platform::Resources::clear();
    host::registerResources();
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    registerScreens();
}

// A pass that never returns (a loop waiting for a clock that only moves between passes) shows no
// frame either, but the driver never gets to look: this thread ends the soak when no pass has
// begun for a minute of real time, and says where it stood.
class PassWatchdog
{
  public:
    static constexpr int kStuckSeconds = 60;

    PassWatchdog(uint64_t seed, const SoakFigures& figures)
        : m_thread([this, seed, &figures] { watch(seed, figures); })
    {
    }
    ~PassWatchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

  private:
    void watch(uint64_t seed, const SoakFigures& figures)
    {
        int64_t last = SoakDriver::passesBegun();
        int still = 0;
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::seconds(1), [this] { return m_done; })) {
            const int64_t now = SoakDriver::passesBegun();
            still = now == last ? still + 1 : 0;
            last = now;
            if (still >= kStuckSeconds) {
                // The main thread is stuck, so figures.runs is not changing under us.
                std::fprintf(stdout,
                             "seed %llu\nhang inside a pass: run %d pass %lld of the soak, screen "
                             "%s: the pass has not returned for %d s of real time\n",
                             static_cast<unsigned long long>(seed), figures.runs,
                             static_cast<long long>(now), SoakDriver::screenAtLastPass(),
                             kStuckSeconds);
                std::fflush(stdout);
                std::_Exit(1);
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace

void registerGames()
{
    gamelib::shellScreens().games = programGames();
}

bool runSoak(const SoakOptions& options, SoakFigures& figures)
{
    void (*registerScreens)() = options.registerScreens ? options.registerScreens : &registerGames;
    figures.rssStartKb = residentKb();
    std::error_code ec;
    char pattern[] = "/tmp/ph-soak-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch)
        return false;

    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.windowBackend = platform::WindowMode::Headless;
    profile.clock = platform::ClockMode::Fake;
    profile.audio = platform::AudioMode::Manual;
    profile.messageBoxes = platform::MessageBoxMode::Recorded;
    profile.registryPath = std::string(scratch) + "/registry.sqlite";
    profile.programFile = options.data + "/pallasterhorn";
    // The seed also moves the clock's start, which seeds the games' random numbers.
    platform::FakeClock::freeze(1000000 + static_cast<int64_t>(options.seed % 100000) * 1000);
    platform::InstanceRegistry::setNamespace("soak-" + std::to_string(getpid()));

    PassWatchdog watchdog(options.seed, figures);
    const int64_t totalSteps = static_cast<int64_t>(options.minutes * 60000 / 25);
    platform::HeadlessBackend* backend = nullptr;
    while (figures.steps < totalSteps) {
        prepareRun(registerScreens);
        backend = &platform::WindowSystem::useHeadless();
        SoakDriver driver(options.seed * 1000003 + static_cast<uint64_t>(figures.runs), totalSteps,
                          *backend, figures);
        driver.startRun();
        ++figures.runs;
        const int64_t before = figures.steps;
        std::string lastScreen;
        const int status = host::runProgram(nullptr, u"", &driver);
        lastScreen = driver.lastScreen();
        const auto& boxes = platform::WindowSystem::recordedMessageBoxes();
        const std::string where = "run " + std::to_string(figures.runs) + " step " +
                                  std::to_string(figures.steps) + " screen " + lastScreen;
        if (status != 0 || !boxes.empty()) {
            ++figures.crashes;
            std::string seen = "status " + std::to_string(status);
            for (const auto& box : boxes)
                seen += ", box \"" + box.caption + "\": \"" + box.text + "\"";
            figures.faults.push_back("crash at " + where + ": " + seen);
        } else if (driver.runHung()) {
            ++figures.hangs;
            figures.faults.push_back("hang at " + where + ": no frame for 10 s");
        } else if (!driver.done()) {
            ++figures.exits;
        }
        if (figures.steps == before) {
            figures.faults.push_back("the program ended before its first pass; giving up");
            ++figures.crashes;
            break;
        }
    }
    prepareRun(registerScreens);
    platform::InstanceRegistry::removeEmptyNamespace();
    std::filesystem::remove_all(scratch, ec);
    figures.rssEndKb = residentKb();
    return true;
}

} // namespace soak
