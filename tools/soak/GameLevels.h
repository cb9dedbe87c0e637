// The level the current screen's game is at, for the games this program was built with.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace soak {

// The game's name and its level when the current screen is one of the games.
std::optional<std::pair<std::string, int>> currentGameLevel();

} // namespace soak
