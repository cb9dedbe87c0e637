#include "GameLevels.h"

#include "gamelib/GameLib.h"

#ifdef PH_SOAK_WITH_TESSARINE
#include "tessarine/Tessarine.h"
#endif
#ifdef PH_SOAK_WITH_MIRROWFEN
#include "mirrowfen/Mirrowfen.h"
#include "mirrowfen/MirrowfenGlobals.h"
#endif
#ifdef PH_SOAK_WITH_CORVANTINE
#include "corvantine/Corvantine.h"
#include "corvantine/CorvantineState.h"
#endif

namespace soak {

std::optional<std::pair<std::string, int>> currentGameLevel()
{
    [[maybe_unused]] gamelib::GameInterface* screen = gamelib::currentScreen.get();
#ifdef PH_SOAK_WITH_TESSARINE
    if (auto* game = dynamic_cast<tessarine::Tessarine*>(screen))
        return std::make_pair(std::string("brick-breaker"), static_cast<int>(game->level));
#endif
#ifdef PH_SOAK_WITH_MIRROWFEN
    if (dynamic_cast<mirrowfen::Mirrowfen*>(screen))
        return std::make_pair(std::string("space-rock"), static_cast<int>(mirrowfen::currentLevel));
#endif
#ifdef PH_SOAK_WITH_CORVANTINE
    if (dynamic_cast<corvantine::Corvantine*>(screen))
        return std::make_pair(std::string("formation shooter"),
                              static_cast<int>(corvantine::level));
#endif
    return std::nullopt;
}

} // namespace soak
