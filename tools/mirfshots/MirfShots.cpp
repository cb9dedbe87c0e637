// mirfshots: plays the space-rock game from a game.dat on the fake clock, a simple bot at the
// controls, and writes what the screen shows at chosen moments into PNG files.
//
//   mirfshots <folder holding game.dat> <out folder>
#include "ToolSession.h"

#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/Ship.h"

#include "gamelib/GameMenu.h"
#include "gamelib/ScreenCanvas.h"
#include "gamelib/SoundBank.h"
#include "gamelib/SpriteAtlas.h"
#include "gamelib/TextTable.h"

#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"

#include <cmath>
#include <cstdio>

using namespace gamelib;
using qev::lang::DPtr;

namespace {

DPtr<mirrowfen::Mirrowfen> game;

// n frames of 25 ms, each updated and painted.
void frames(int n)
{
    for (int i = 0; i < n; ++i) {
        platform::FakeClock::step(25);
        game->update();
        game->paint();
    }
}

// The bot: toward the nearest rock or saucer, firing.
void botStep()
{
    mirrowfen::Ship& ship = *mirrowfen::ship;
    mirrowfen::FlyingOPtr best;
    long bestD = 0;
    for (mirrowfen::FlyingOArrayPtr list : {game->rocks, game->ufos}) {
        for (int i = 0; list && i < list->length; ++i) {
            mirrowfen::FlyingOPtr o = (*list)[i];
            if (!o)
                continue;
            const long d = static_cast<long>(o->x - ship.x) * (o->x - ship.x) +
                           static_cast<long>(o->y - ship.y) * (o->y - ship.y);
            if (!best || d < bestD) {
                best = o;
                bestD = d;
            }
        }
    }
    keyLeft = keyRight = 0;
    keyFire = 1;
    if (!best)
        return;
    const double angle = std::atan2(-(best->y - ship.y), best->x - ship.x) * 180.0 / M_PI;
    const int wanted = (static_cast<int>(std::lround(angle / 22.5)) % 16 + 16) % 16;
    const int heading = (ship.quadrantIndex() * 4 + ship.step) % 16;
    const int turn = (wanted - heading + 16) % 16;
    keyLeft = turn != 0 && turn < 8;
    keyRight = turn >= 8;
}

int shoot(toolsupport::ToolSession& session)
{
    if (!session.openScreen(240, 320))
        return 1;
    loadTextFile(u"/txt/res_en", true);
    GameMenu::loadMenuImages();

    game = new mirrowfen::Mirrowfen();
    currentScreen = game.get();
    game->start();
    int sounds = 0;
    for (int i = 0; soundBank && i < soundBank->length; ++i)
        sounds += (*soundBank)[i] ? 1 : 0;
    std::fprintf(stderr, "mirfshots: %d of 8 sounds, atlas %s\n", sounds,
                 atlasPieces ? "loaded" : "missing");
    session.shot("mirf_loading");
    frames(20);
    session.shot("mirf_menu");

    keyFire = 1;
    for (int i = 0; i < 20 && mirrowfen::gameState == mirrowfen::STATE_MENU; ++i)
        frames(1);
    keyFire = 0;
    frames(6);
    session.shot("mirf_intro");
    frames(30);

    mirrowfen::noDamage = 1;
    int shots = 0;
    for (int step = 0; step < 6000 && mirrowfen::gameState == mirrowfen::STATE_PLAYING; ++step) {
        botStep();
        frames(3);
        if (game->effectsInUse > 0 && step > 40 * shots && shots < 4)
            session.shot("mirf_play_" + std::to_string(shots++));
    }
    keyFire = keyLeft = keyRight = 0;
    session.shot("mirf_cleared");
    frames(95);
    session.shot("mirf_cleared_press_a_key");
    anyKey = 1;
    frames(3);
    frames(12);
    session.shot("mirf_level2_intro");
    frames(30);

    // Level 2 with bouncing edges, a few steps of play, then the last life lost.
    for (int step = 0; step < 40; ++step) {
        botStep();
        frames(3);
    }
    session.shot("mirf_level2_play");
    keyFire = keyLeft = keyRight = 0;
    mirrowfen::noDamage = 0;
    mirrowfen::ship->lives = 0;
    frames(6);
    session.shot("mirf_game_over");
    frames(100);
    session.shot("mirf_after_game_over");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    toolsupport::ToolSession session("mirfshots");
    if (!session.parseArguments(argc, argv))
        return 2;
    platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
    platform::FakeClock::freeze(1000000);
    const int rc = session.run(shoot);
    game = nullptr;
    currentScreen = nullptr;
    mirrowfen::resetGlobals();
    return rc;
}
