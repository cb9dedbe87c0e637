// The program: the platform's entry calls the host's WinMain, and the host runs the MIDlet that
// the game library's createMIDlet makes. The program's games go into the main menu's table
// before that, while the program's globals are set up.
#include "CreateMIDlet.h"
#include "ProgramGames.h"

#include "gamelib/GameLib.h"

namespace {

// Naming createMIDlet here ties host and game library together at link time, whatever the order
// in which the linker meets the libraries.
[[maybe_unused]] auto* const application = &createMIDlet;

[[maybe_unused]] const bool gamesListed = [] {
    gamelib::shellScreens().games = programGames();
    return true;
}();

} // namespace
