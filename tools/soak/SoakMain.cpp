// soak: plays the whole program (host loop, shell and every game it has) with random input on
// the fake clock for a given time, and reports what it reached, crashes, hangs and memory.
//
//   soak [--minutes M | --hours H] [--seed S] [--data FOLDER]
//
// The program runs in this process, driven through the host's loop hooks, on the headless window
// backend with the manual audio device and a record store in a throw-away folder. A run that ends
// (the player quit, an uncaught exception, a message box, a hang) is counted and followed by a
// new one on the same records, until the time is played. Status 0 when nothing went wrong, 1
// after a crash or hang, 2 for bad arguments.
#include "SoakDriver.h"
#include "SoakFigures.h"

#include "CreateMIDlet.h"
#include "GameEngine.h"
#include "HostResources.h"
#include "RunEngine.h"

#include "display/VideoDetect.h"
#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"
#include "microedition/media/MediaManager.h"
#include "microedition/midlet/DMIDlet.h"
#include "platform/DeviceProfile.h"
#include "platform/FakeClock.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "platform/window/InstanceRegistry.h"
#include "platform/window/WindowSystem.h"

#if __has_include("tessarine/Tessarine.h")
#include "tessarine/Tessarine.h"
#define SOAK_HAS_TESSARINE 1
#endif
#if __has_include("mirrowfen/Mirrowfen.h")
#include "mirrowfen/Mirrowfen.h"
#define SOAK_HAS_MIRROWFEN 1
#endif
#if __has_include("corvantine/Corvantine.h")
#include "corvantine/Corvantine.h"
#define SOAK_HAS_CORVANTINE 1
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

[[maybe_unused]] static auto* const application = &createMIDlet;

namespace {

struct Options
{
    double minutes = 10;
    uint64_t seed = 1;
    std::string data = PH_SOAK_DATA_FOLDER;
};

bool parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* v = argv[++i];
        char* end = nullptr;
        if (a == "--minutes" || a == "--hours") {
            const double n = std::strtod(v, &end);
            if (*end || !(n > 0) || n > 24 * 365)
                return false;
            o.minutes = a == "--hours" ? n * 60 : n;
        } else if (a == "--seed") {
            o.seed = std::strtoull(v, &end, 10);
            if (*end || !*v)
                return false;
        } else if (a == "--data") {
            o.data = v;
        } else {
            return false;
        }
    }
    return true;
}

void registerGames()
{
#ifdef SOAK_HAS_TESSARINE
    tessarine::registerTessarine();
#endif
#ifdef SOAK_HAS_MIRROWFEN
    mirrowfen::registerGame();
#endif
#ifdef SOAK_HAS_CORVANTINE
    corvantine::registerCorvantine();
#endif
}

// The game library's globals as a new process has them: a run that ended leaves its language,
// its canvas and its shared objects behind, and start-up decides by them what to do.
void resetGameGlobals()
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

// A fresh window system, sound, resources and game library for each run, as a new start of the
// program has.
void prepareRun()
{
    resetGameGlobals();
    platform::WindowSystem::resetForTests();
    qev::microedition::media::resetSound();
    ScreenHAL::VideoDetect::resetForTests();
    platform::Resources::clear();
    host::registerResources();
    qev::microedition::midlet::DMIDlet::global() = nullptr;
    registerGames();
}

std::string screenName()
{
    return gamelib::currentScreen ? gamelib::currentScreen->getClassName() : "(none)";
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: soak [--minutes M | --hours H] [--seed S] [--data FOLDER]\n");
        return 2;
    }
    soak::SoakFigures figures;
    figures.rssStartKb = soak::residentKb();

    std::error_code ec;
    char pattern[] = "/tmp/ph-soak-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch) {
        std::fprintf(stderr, "soak: cannot make a folder for the records\n");
        return 2;
    }

    platform::DeviceProfile& profile = platform::DeviceProfile::current();
    profile.windowBackend = platform::WindowBackendKind::Headless;
    profile.clock = platform::ClockMode::Fake;
    profile.audio = platform::AudioBackend::Manual;
    profile.messageBoxes = platform::MessageBoxMode::Recorded;
    profile.registryPath = std::string(scratch) + "/registry.sqlite";
    profile.programFile = options.data + "/pallasterhorn";
    // The seed also moves the clock's start, which seeds the games' random numbers.
    platform::FakeClock::freeze(1000000 + static_cast<int64_t>(options.seed % 100000) * 1000);
    platform::InstanceRegistry::setNamespace("soak-" + std::to_string(getpid()));

    const int64_t totalSteps = static_cast<int64_t>(options.minutes * 60000 / 25);
    platform::HeadlessBackend* backend = nullptr;
    while (figures.steps < totalSteps) {
        prepareRun();
        backend = &platform::WindowSystem::useHeadless();
        soak::SoakDriver driver(options.seed * 1000003 + static_cast<uint64_t>(figures.runs),
                                totalSteps, *backend, figures);
        driver.startRun();
        ++figures.runs;
        const int64_t before = figures.steps;
        std::string lastScreen;
        const int status = host::runProgram(nullptr, u"", &driver);
        lastScreen = screenName();
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
    prepareRun();
    platform::InstanceRegistry::removeEmptyNamespace();
    std::filesystem::remove_all(scratch, ec);
    figures.rssEndKb = soak::residentKb();
    std::fputs(soak::formatFigures(figures, options.seed).c_str(), stdout);
    std::fflush(stdout); // before any exit-time checker of the build ends the process
    return figures.crashes == 0 && figures.hangs == 0 ? 0 : 1;
}
