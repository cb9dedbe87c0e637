#include "GameLevels.h"

#include "gamelib/GameLib.h"

#if __has_include("tessarine/Tessarine.h")
#include "tessarine/Tessarine.h"
#define SOAK_HAS_TESSARINE 1
#endif
#if __has_include("mirrowfen/MirrowfenGlobals.h")
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/MirrowfenGlobals.h"
#define SOAK_HAS_MIRROWFEN 1
#endif
#if __has_include("corvantine/CorvantineState.h")
#include "corvantine/Corvantine.h"
#include "corvantine/CorvantineState.h"
#define SOAK_HAS_CORVANTINE 1
#endif

namespace soak {

std::optional<std::pair<std::string, int>> currentGameLevel()
{
    [[maybe_unused]] gamelib::GameInterface* screen = gamelib::currentScreen.get();
#ifdef SOAK_HAS_TESSARINE
    if (auto* game = dynamic_cast<tessarine::Tessarine*>(screen))
        return std::make_pair(std::string("brick-breaker"), static_cast<int>(game->level));
#endif
#ifdef SOAK_HAS_MIRROWFEN
    if (dynamic_cast<mirrowfen::Mirrowfen*>(screen))
        return std::make_pair(std::string("space-rock"), static_cast<int>(mirrowfen::currentLevel));
#endif
#ifdef SOAK_HAS_CORVANTINE
    if (dynamic_cast<corvantine::Corvantine*>(screen))
        return std::make_pair(std::string("formation shooter"),
                              static_cast<int>(corvantine::level));
#endif
    return std::nullopt;
}

} // namespace soak
