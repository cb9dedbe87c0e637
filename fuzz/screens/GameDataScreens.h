// What the screen fuzz targets share: the built game data unpacked into the program folder (no
// archive is opened, so every lookup reads these files and a replaced file stands for a damaged
// entry), a headless canvas on a frozen fake clock, and start-up's fonts, statics and English
// texts. A screen is started as the main menu starts it and then played for a few seconds.
#pragma once

#include "gamelib/GameInterface.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzscreens {

// Made at the first call and kept for the whole run.
void prepare();
// The entry (as stored: "graphics/qvga/tesk/all.txt") holds the bytes until restored.
void replaceEntry(const std::string& entry, const uint8_t* data, size_t size);
void restoreEntry(const std::string& entry);
// Makes the screen current and starts it. A start may fail only with an exception of the
// Exception family whose message holds `named` (the damaged entry's name, so that the player's
// box names it); true when the screen started.
bool startScreen(const gamelib::GameInterfacePtr& screen, const char16_t* named);
// Steps of 25 ms through the game library, with presses of the fire key, the arrows and the
// pause key on the way; nothing may escape them. The screen is stopped afterwards.
void play(int32_t steps);

} // namespace fuzzscreens
