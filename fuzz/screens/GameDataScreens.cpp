#include "GameDataScreens.h"

#include "CanvasSupport.h"
#include "ProgramFolder.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ImageFont.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/TextTable.h"

#include "lang/DString.h"
#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"
#include "platform/testing/ManualWaveOut.h"
#include "platform/waveout.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>

namespace fuzzscreens {

using qev::lang::DExceptionBase;

namespace {

std::map<std::string, std::string>& originals()
{
    static std::map<std::string, std::string> saved;
    return saved;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string messageOf(const DExceptionBase& e)
{
    std::string text;
    for (char16_t c : e.text())
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return text;
}

[[noreturn]] void finding(const char* where, DExceptionBase* e)
{
    std::fprintf(stderr, "%s: exception 0x%x: %s\n", where, static_cast<unsigned>(e->code),
                 messageOf(*e).c_str());
    std::abort();
}

int32_t actionKey(int32_t action)
{
    return (*gamelib::screenCanvas->getKeys(action, 1))[0];
}

void press(int32_t code)
{
    gamelib::screenCanvas->keyPressed(code);
    gamelib::screenCanvas->keyReleased(code);
}

} // namespace

void prepare()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const std::string& folder = fuzzsupport::programFolder();
    const std::string unpack = "7z x -y -bso0 -bsp0 '-o" + folder + "' '" PH_GAME_DATA "'";
    if (std::system(unpack.c_str()) != 0)
        std::abort();
    platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(100000);
    // The games' sounds go to a device that takes them and plays nothing.
    platform::DeviceProfile::current().audio = platform::AudioMode::Manual;
    platform::setManualWaveOutConfig({});
    try {
        fuzzsupport::useCanvas(240, 320);
        if (!gamelib::GameLib::loadScreenConfig())
            std::abort();
        gamelib::GameStatics::init();
        gamelib::loadImageFonts();
        // English chosen, as the language question leaves it.
        gamelib::languageShortNames = new qev::util::DVector();
        gamelib::languageShortNames->addElement(qev::lang::DStringPtr(u"en"));
        gamelib::languageIndex = 0;
        gamelib::loadTextFile(u"/txt/res_en", true);
    } catch (DExceptionBase* e) {
        finding("prepare", e);
    }
}

void replaceEntry(const std::string& entry, const uint8_t* data, size_t size)
{
    const std::string path = fuzzsupport::programFolder() + "/" + entry;
    if (!originals().count(entry))
        originals()[entry] = readFile(path);
    fuzzsupport::writeFile("/" + entry, data, size);
}

void restoreEntry(const std::string& entry)
{
    fuzzsupport::writeFile("/" + entry, originals().at(entry));
}

bool startScreen(const gamelib::GameInterfacePtr& screen, const char16_t* named)
{
    gamelib::currentScreen = screen;
    // The start's own waits (a splash kept up for a moment) pass at once.
    platform::FakeClock::autoAdvance(1000);
    try {
        screen->start();
    } catch (DExceptionBase* e) {
        platform::FakeClock::autoAdvance(0);
        const std::u16string_view message(e->message);
        if (!e->isException() || message.find(named) == std::u16string_view::npos)
            finding("start", e);
        delete e;
        gamelib::currentScreen = nullptr;
        return false;
    }
    platform::FakeClock::autoAdvance(0);
    return true;
}

void play(int32_t steps)
{
    try {
        for (int32_t i = 0; i < steps; ++i) {
            // Menus take one press in 200 ms: a press every ten steps, choosing, steering and
            // firing, and a pause near the end.
            if (i % 10 == 9)
                press(actionKey(i % 40 == 9 || i % 40 == 29 ? 4 : (i / 10) % 4));
            if (i == steps - 15)
                press(-4);
            platform::FakeClock::step(gamelib::GameLib::kStepMillis);
            gamelib::gameLib->tick();
        }
        if (gamelib::currentScreen)
            gamelib::currentScreen->stop();
    } catch (DExceptionBase* e) {
        finding("play", e);
    }
    gamelib::currentScreen = nullptr;
    gamelib::ScreenCanvas::resetInput();
}

void playDamaged(const uint8_t* data, size_t size, const Entry (&entries)[2],
                 gamelib::GameInterfacePtr (*make)(), void (*started)(), int32_t steps)
{
    prepare();
    if (size < 1)
        return;
    const Entry& entry = entries[data[0] % 2];
    replaceEntry(entry.stored, data + 1, size - 1);
    if (startScreen(make(), entry.named)) {
        if (started)
            started();
        play(steps);
    }
    restoreEntry(entry.stored);
}

} // namespace fuzzscreens
