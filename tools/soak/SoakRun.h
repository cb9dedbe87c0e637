// One soak: the program run again and again in this process with random input until the
// simulated time is played, on the headless window backend, the fake clock, the manual audio
// device and records in a throw-away folder.
#pragma once

#include "SoakFigures.h"

#include <cstdint>
#include <string>

namespace soak {

struct SoakOptions
{
    double minutes = 10;
    uint64_t seed = 1;
    // The folder holding game.dat.
    std::string data;
    // Fills the game library's screen table before each run; null: the games this program
    // was built with. Tests put in their own screens.
    void (*registerScreens)() = nullptr;
};

// Plays; false when no folder for the records could be made (nothing ran).
bool runSoak(const SoakOptions& options, SoakFigures& figures);

// The games this program was built with, registered in the game library's screen table.
void registerGames();

} // namespace soak
