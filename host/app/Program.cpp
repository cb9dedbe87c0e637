// The program: the platform's entry calls the host's WinMain, and the host runs the MIDlet that
// the game library's createMIDlet makes. The games put themselves into the main menu's table
// before that, while the program's globals are set up.
#include "CreateMIDlet.h"
#include "corvantine/Corvantine.h"
#include "mirrowfen/Mirrowfen.h"
#include "tessarine/Tessarine.h"

namespace {

// Naming createMIDlet here ties host and game library together at link time, whatever the order
// in which the linker meets the libraries.
[[maybe_unused]] auto* const application = &createMIDlet;

[[maybe_unused]] const bool gamesRegistered = [] {
    tessarine::registerTessarine();
    mirrowfen::registerGame();
    corvantine::registerCorvantine();
    return true;
}();

} // namespace
