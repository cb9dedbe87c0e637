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

// An entry of the game data as stored and as the game names it in its errors.
struct Entry
{
    const char* stored;
    const char16_t* named;
};
// The first byte of the input chooses one of the two entries and the rest takes its place; the
// screen made by `make` is started and, when it starts, `started` (may be null) checks it and it
// is played `steps` steps. The entry is put back afterwards.
void playDamaged(const uint8_t* data, size_t size, const Entry (&entries)[2],
                 gamelib::GameInterfacePtr (*make)(), void (*started)(), int32_t steps);

} // namespace fuzzscreens
