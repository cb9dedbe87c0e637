// corvshots: plays the formation shooter from a game.dat without a window and writes what the
// screen shows at chosen steps into PNG files: menu, help, intro, play, dives, a reward picture,
// the ship lost and game over.
//
//   corvshots <folder holding game.dat> <out folder>
#include "ToolSession.h"

#include "corvantine/Corvantine.h"

#include "LangMenu/LangMenu.h"
#include "gamelib/GameMenu.h"
#include "gamelib/GameStatics.h"
#include "gamelib/ScreenCanvas.h"

using namespace gamelib;
using namespace corvantine;
using qev::lang::DPtr;

namespace {

// Steps as the frame loop runs them: update, then paint.
void run(GameInterface& s, int steps)
{
    for (int i = 0; i < steps; ++i) {
        s.update();
        s.paint();
    }
}

// Ships diving below the middle of the screen.
int divingLow()
{
    int n = 0;
    for (int i = 0; i < fleet->length; ++i)
        n += (*fleet)[i]->state == AlienShip::DIVING && (*fleet)[i]->y > screenHeight / 2;
    return n;
}

int shoot(toolsupport::ToolSession& shots)
{
    if (!shots.openScreen(240, 320))
        return 1;
    GameMenu::loadMenuImages();
    // The language lists come with the language menu.
    DPtr<langmenu::LangMenu> lang = new langmenu::LangMenu();
    lang->start();
    languageIndex = 0;

    CorvantinePtr game = new Corvantine();
    game->start();
    run(*game, 2);
    shots.shot("corv_menu");
    Corvantine::setMenuMode(MODE_HELP);
    run(*game, 1);
    shots.shot("corv_help");
    Corvantine::setMenuMode(MODE_NEW_GAME);

    level = 1;
    Corvantine::nextLevel();
    run(*game, 2);
    shots.shot("corv_intro");
    while (gameState == STATE_INTRO)
        run(*game, 1);
    run(*game, 30);
    shots.shot("corv_play");
    // Play on (the ship out of harm's way) until a ship dives at it below the middle.
    for (int i = 0; i < 3000 && divingLow() == 0; ++i) {
        lives = 4;
        if (exploding)
            explosionFinished = true;
        run(*game, 1);
    }
    shots.shot("corv_dive");

    keyFire = 1;
    run(*game, 3);
    keyFire = 0;
    run(*game, 6);
    shots.shot("corv_shot");

    level = 3;
    Corvantine::nextLevel();
    while (gameState == STATE_INTRO)
        run(*game, 1);
    run(*game, 40);
    shots.shot("corv_level3");

    // Level cleared: every ship shot down but one, then that one.
    for (int i = 1; i < fleet->length; ++i)
        (*fleet)[i]->state = AlienShip::DESTROYED;
    AlienShip& last = *(*fleet)[0];
    last.state = AlienShip::IN_FORMATION;
    liveShips = 1;
    for (int r = 0; r < kRows; ++r)
        (*rowShipsLeft)[r] = r == last.row ? 1 : 0;
    shotX = last.x;
    shotY = last.y + 8;
    run(*game, 1);
    shots.shot("corv_cleared");
    for (int i = 0; i < 60 && gameState != STATE_REWARD; ++i)
        run(*game, 1);
    run(*game, 25);
    shots.shot("corv_reward");

    lives = 0;
    Corvantine::loseLife();
    run(*game, 6);
    shots.shot("corv_ship_lost");
    for (int i = 0; i < 200 && gameState != STATE_GAME_OVER; ++i)
        run(*game, 1);
    run(*game, 2);
    shots.shot("corv_gameover");
    game->stop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    toolsupport::ToolSession session("corvshots");
    if (!session.parseArguments(argc, argv))
        return 2;
    return session.run(shoot);
}
