// What the shell knows of one game of the main menu. Each game defines its entry in its own
// folder; the program lists the entries in menu order (GameTable), and the main menu, the
// resource lookup, the sound question and the shell's release go through that list.
#pragma once

#include "gamelib/GameInterface.h"

#include "lang/DString.h"

#include <span>

namespace gamelib {

struct GameEntry
{
    // The game's resource folder below a graphics set ("tesk"), which a set may redirect; also
    // the stem of its main-menu icons (stem + ".png", stem + "_s.png").
    const char16_t* folder = nullptr;
    // The logo the main menu slides in while the game is selected.
    const char16_t* logo = nullptr;
    // The game-wide global with the game's name, which prefixes its option records.
    qev::lang::DStringPtr* name = nullptr;
    // A new game screen, not started; null for a slot whose game is not part of the program.
    GameInterfacePtr (*make)() = nullptr;
    // Drops the game's own globals when the shell releases its own; may be null.
    void (*release)() = nullptr;
};

// The games of the main menu, in menu order.
using GameTable = std::span<const GameEntry>;

} // namespace gamelib
