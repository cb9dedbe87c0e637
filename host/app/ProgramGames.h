// The games of this program, in the order the main menu shows them.
#pragma once

#include "gamelib/GameEntry.h"

gamelib::GameTable programGames();
