// tessshots: plays the brick-breaker without a window from a game.dat and writes what the
// screen shows as PNG files: the menu, the get-ready picture, play on a few levels, a cleared
// level and game over. The paddle follows the ball by itself.
//
//   tessshots <folder holding game.dat> <out folder>
#include "ToolSession.h"

#include "tessarine/BrickList.h"
#include "tessarine/Platform.h"
#include "tessarine/Tessarine.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/ScreenCanvas.h"

#include "platform/DeviceProfile.h"
#include "platform/testing/FakeClock.h"

#include <string>

using namespace gamelib;

namespace {

// One 25 ms step with its painting; during play the paddle chases the lowest falling ball.
void step(tessarine::Tessarine& game)
{
    using namespace tessarine;
    platform::FakeClock::step(GameLib::kStepMillis);
    keyLeft = keyRight = 0;
    if (gameState == STATE_PLAYING) {
        const Ball* target = nullptr;
        for (int i = 0; i < game.balls->length; ++i) {
            const Ball& b = *(*game.balls)[i];
            if (b.active && b.released && b.dy > 0 && (!target || b.y > target->y))
                target = &b;
        }
        if (target) {
            const int aim = target->x - 6;
            keyRight = aim > paddle->x + 2;
            keyLeft = aim < paddle->x - 2;
        }
    }
    game.update();
    game.paint();
}

void steps(tessarine::Tessarine& game, int n)
{
    for (int i = 0; i < n; ++i)
        step(game);
}

void launch(tessarine::Tessarine& game)
{
    keyFire = 1;
    step(game);
    keyFire = 0;
}

int play(toolsupport::ToolSession& shots)
{
    using namespace tessarine;
    if (!shots.openScreen(240, 320))
        return 1;
    languageIndex = 0;

    TessarinePtr game = new Tessarine();
    currentScreen = game;
    platform::FakeClock::autoAdvance(1000);
    game->start();
    platform::FakeClock::autoAdvance(0);
    steps(*game, 10);
    shots.shot("menu");

    game->chooseMenuItem(Tessarine::ITEM_START);
    step(*game);
    shots.shot("get_ready");
    steps(*game, 60);
    launch(*game);
    steps(*game, 140);
    shots.shot("play_level1");
    for (int i = 0; i < 400 && gameState == STATE_PLAYING; ++i)
        step(*game);
    shots.shot("play_level1_later");

    // Show a later level with bonuses falling and fire balls.
    for (int shown : {16, 27, 50}) {
        game->level = shown;
        game->resetActors();
        brickList->loadLevel(shown);
        game->setState(STATE_PLAYING);
        launch(*game);
        steps(*game, 60);
        paddle->spawnBonus(6, 60, 200);
        paddle->spawnBonus(11, 150, 180);
        paddle->spawnBonus(1, 100, 240);
        steps(*game, 40);
        shots.shot("play_level" + std::to_string(shown));
    }

    brickList->remaining = 0;
    steps(*game, 2);
    shots.shot("level_cleared");
    game->lives = 1;
    game->setState(STATE_PLAYING);
    game->loseLife();
    step(*game);
    shots.shot("game_over");
    game->stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    toolsupport::ToolSession session("tessshots");
    if (!session.parseArguments(argc, argv))
        return 2;
    platform::DeviceProfile::current().clock = platform::ClockMode::Fake;
    return session.run(play);
}
