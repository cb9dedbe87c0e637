// The brick-breaker's grid and brick kinds (tessarine/Brick.h, BrickList::cellOf).
#include "Rules.h"

#include "tessarine/BrickList.h"
#include "tessarine/TessarineGlobals.h"

#include "gamelib/GameLib.h"
#include "gamelib/GameStatics.h"

#include <cstdio>

namespace datarules {

using tessarine::Brick;

namespace {

// The generator's word for each kind a level file can name.
struct KindName
{
    int32_t type;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {Brick::TYPE_TWO_HIT, "two-hit"},
    {Brick::TYPE_THREE_HIT, "three-hit"},
    {Brick::TYPE_REGENERATING, "regenerating"},
    {Brick::TYPE_DETONATOR, "detonator"},
    {Brick::TYPE_HARD, "hard"},
    {Brick::TYPE_PLAIN, "plain"},
    {Brick::TYPE_PLAIN_B, "plain"},
    {Brick::TYPE_BOMB, "bomb"},
    {Brick::TYPE_FIVE_HIT, "five-hit"},
};

} // namespace

int bricks(const Args& args)
{
    if (!args.empty())
        return 2;
    std::printf("grid %d %d\n", tessarine::kRows, tessarine::kColumns);
    // The alphabet is one of the game-wide objects; the name keyboard among them would need
    // the game data, and is not made.
    gamelib::shellScreens().makeNameKeyboard = nullptr;
    gamelib::GameStatics::init();
    for (const char letter : narrow(gamelib::brickLetters)) {
        int32_t type = 0;
        int32_t hitPoints = 0;
        tessarine::BrickList::cellOf(static_cast<uint8_t>(letter), type, hitPoints);
        std::printf("letter %c %d %d\n", letter, type, hitPoints);
    }
    gamelib::GameStatics::release();
    for (const KindName& kind : kKindNames)
        std::printf("kind %d %s%s\n", kind.type, kind.name,
                    Brick::counts(kind.type) ? " counts" : "");
    return 0;
}

} // namespace datarules
